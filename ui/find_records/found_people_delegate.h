#pragma once
// CFoundPeopleDelegate: paints a person of the Find in Records list in
// the columns of the header above the list (database, surname, given
// names, where the query matched), each cut to its width, the matched
// words in bold; a person seen before has a dot at the end of the surname
// column, in a band that every row keeps free, so that no text moves.

#include <QStyledItemDelegate>

class QFontMetrics;
class QHeaderView;

class CFoundPeopleDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CFoundPeopleDelegate(QHeaderView* header, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The band at the end of the surname column that holds the seen mark.
    static int MarkBand(const QFontMetrics& metrics);

private:
    QHeaderView* header_;
};
