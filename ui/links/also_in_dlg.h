#pragma once
// CAlsoInDlg: "Also in other databases", the links of one record, over its
// More Info: the confirmed ones first, then the likely, then the possible,
// each with its database, name, summary, verdict and reasons. Enter (or
// More Info) opens that record's More Info; Compare opens the two records
// side by side.

#include <vector>

#include <QDialog>

#include "ui/links/shown_link.h"

class QPushButton;
class QTreeWidget;

class CAlsoInDlg : public QDialog {
    Q_OBJECT
public:
    CAlsoInDlg(QWidget* parent, const research_log::PersonOnDisk& person, std::vector<ShownLink> links);

    QTreeWidget* List() const { return list_; }
    const std::vector<ShownLink>& Links() const { return links_; }
    // The link chosen, or null.
    const ShownLink* Current() const;

signals:
    void openRequested(const ShownLink& link);
    void compareRequested(const ShownLink& link);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<ShownLink> links_;
    QTreeWidget* list_;
    QPushButton* open_;
    QPushButton* compare_;
};
