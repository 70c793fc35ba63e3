#pragma once
// CVerdictsPage: the Research Log window's Verdicts, what the user decided
// about pairs of records ("Same person", "Not the same person") with the
// note and the time, oldest first. Take Back (Delete) removes a verdict,
// after which the pair is proposed again as the linkage judges it; Undo
// (Ctrl+Z) puts back what was taken back while the window is open.

#include <vector>

#include <QWidget>

#include "browse/research_log/log_entries.h"

class CViewerLog;
class QPushButton;
class QTreeWidget;

class CVerdictsPage : public QWidget {
    Q_OBJECT
public:
    CVerdictsPage(QWidget* parent, CViewerLog& log);

    void Reload();
    void TakeBack();
    bool Undo();

    QTreeWidget* List() const { return list_; }
    QPushButton* TakeBackButton() const { return takeBack_; }
    QPushButton* UndoButton() const { return undo_; }
    const std::vector<research_log::PairVerdict>& Verdicts() const { return verdicts_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CViewerLog& log_;
    QTreeWidget* list_;
    QPushButton* takeBack_;
    QPushButton* undo_;
    std::vector<research_log::PairVerdict> verdicts_;
    std::vector<research_log::PairVerdict> takenBack_;
};
