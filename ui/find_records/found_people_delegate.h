#pragma once
// CFoundPeopleDelegate: paints a person of the Find in Records list in
// the columns of the header above the list (database, surname, given
// names, where the query matched), each cut to its width, the matched
// words in bold.

#include <QStyledItemDelegate>

class QHeaderView;

class CFoundPeopleDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CFoundPeopleDelegate(QHeaderView* header, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QHeaderView* header_;
};
