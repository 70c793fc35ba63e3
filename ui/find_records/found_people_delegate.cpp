#include "ui/find_records/found_people_delegate.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QStyle>

#include "ui/find_records/found_people_model.h"

namespace {

// A run of text in one weight.
struct Run {
    QString text;
    bool marked;
};

std::vector<Run> RunsOf(const QString& text) {
    std::vector<Run> runs;
    QString piece;
    bool marked = false;
    for (const QChar c : text) {
        if (c == QChar(CRecordFinder::kMarkOpen) || c == QChar(CRecordFinder::kMarkClose)) {
            if (!piece.isEmpty()) runs.push_back({piece, marked});
            piece.clear();
            marked = c == QChar(CRecordFinder::kMarkOpen);
            continue;
        }
        piece += c;
    }
    if (!piece.isEmpty()) runs.push_back({piece, marked});
    return runs;
}

// Draws runs from left within width on one line; the run that does not fit is cut with an ellipsis.
void DrawRuns(QPainter& painter, const std::vector<Run>& runs, QRect area) {
    const QFont plain = painter.font();
    QFont bold = plain;
    bold.setBold(true);
    int x = area.left();
    for (const Run& run : runs) {
        painter.setFont(run.marked ? bold : plain);
        const QFontMetrics metrics(painter.font());
        const int left = area.right() + 1 - x;
        if (left <= 0) break;
        const int width = metrics.horizontalAdvance(run.text);
        const QString shown = width <= left ? run.text : metrics.elidedText(run.text, Qt::ElideRight, left);
        painter.drawText(QRect(x, area.top(), left, area.height()), Qt::AlignLeft | Qt::AlignVCenter, shown);
        if (width > left) break;
        x += width;
    }
    painter.setFont(plain);
}

}  // namespace

CFoundPeopleDelegate::CFoundPeopleDelegate(QHeaderView* header, QObject* parent)
    : QStyledItemDelegate(parent), header_(header) {}

void CFoundPeopleDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // The selection and focus as the style draws them, without the text.
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const QStringList columns = index.data(CFoundPeopleModel::kColumnRole).toStringList();
    const bool seen = index.data(CFoundPeopleModel::kSeenRole).toBool();
    painter->save();
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Active) != 0 ? QPalette::Active : QPalette::Inactive;
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    for (int column = 0; column < columns.size() && column < header_->count(); ++column) {
        QRect cell(header_->sectionViewportPosition(column) + option.rect.left(), option.rect.top(),
                   header_->sectionSize(column), option.rect.height());
        cell.adjust(margin, 0, -margin, 0);
        if (column == CFoundPeopleModel::kSurnameColumn) {
            const int band = std::min(MarkBand(QFontMetrics(option.font)), std::max(0, cell.width()));
            const QRect mark(cell.right() + 1 - band, cell.top(), band, cell.height());
            cell.setRight(mark.left() - 1);
            if (seen && band > 0) {
                painter->setClipRect(mark);
                const int size = std::max(3, std::min(band, mark.height()) / 2);
                painter->setRenderHint(QPainter::Antialiasing);
                painter->setBrush(painter->pen().color());
                painter->drawEllipse(QRect(mark.left() + (band - size) / 2,
                                           mark.top() + (mark.height() - size) / 2, size, size));
                painter->setBrush(Qt::NoBrush);
            }
        }
        if (cell.width() <= 0) continue;
        painter->setClipRect(cell);
        DrawRuns(*painter, RunsOf(columns[column]), cell);
    }
    painter->restore();
}

int CFoundPeopleDelegate::MarkBand(const QFontMetrics& metrics) { return metrics.height() * 2 / 3; }

QSize CFoundPeopleDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& /*index*/) const {
    QFont bold = option.font;
    bold.setBold(true);
    // Room for the bold words and the focus frame; the width is the view's.
    return QSize(header_->length(), QFontMetrics(bold).height() + 4);
}
