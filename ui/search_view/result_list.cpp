#include "ui/search_view/result_list.h"

#include <algorithm>

#include <QAccessible>
#include <QApplication>
#include <QColor>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

#include "browse/session/result_pager.h"
#include "ui/common/accessible_events.h"
#include "ui/search_view/view_layout.h"

using namespace view_layout;

namespace {

// Tells screen readers of a change at a row of the result list.
void NotifyRow(QObject* list, QAccessible::Event type, int row) {
    accessible_events::NotifyItem(list, type, row);
}

}  // namespace

CResultList::CResultList(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ResultList"));
    setAccessibleName(QStringLiteral("Search results"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // The keyboard's menu key and Shift+F10 arrive as keys (keyPressEvent).
    setContextMenuPolicy(Qt::PreventContextMenu);
    FitToFont();
}

int CResultList::TextHeight() const { return fontMetrics().height(); }

void CResultList::FitToFont() {
    const QRect list = kListArea.ToQRect();
    const int pageRows = TextHeight() >= kLargeTextHeight ? 8 : CResultPager::kMaxRows;
    const int grow = std::max(0, pageRows * TextHeight() - list.height());
    setGeometry(
        list.adjusted(-kListFrameMargin, -kListFrameMargin, kListFrameMargin, kListFrameMargin + grow));
}

void CResultList::SetPage(ResultPage page) {
    page_ = std::move(page);
    selected_ = -1;
    // A Tab stop only while there are rows.
    setFocusPolicy(page_.Rows() > 0 ? Qt::TabFocus : Qt::NoFocus);
    emit selectionChanged(-1);
}

void CResultList::AnnounceRows() { accessible_events::AnnounceItems(this, Rows(), announcedRows_); }

QStringList CResultList::RowColumns(int row) const {
    if (row < 0 || row >= Rows()) return QStringList();
    return page_.rows[row].columns;
}

void CResultList::SetSeen(const std::vector<bool>& seen) {
    bool changed = false;
    for (int row = 0; row < Rows(); ++row) {
        const bool mark = static_cast<std::size_t>(row) < seen.size() && seen[static_cast<std::size_t>(row)];
        changed = changed || page_.rows[row].seen != mark;
        page_.rows[row].seen = mark;
    }
    if (changed) update();
}

int CResultList::RowAt(const QPoint& parentPoint) const {
    if (!kListArea.ToQRect().contains(parentPoint)) return -1;
    const int row = (parentPoint.y() - kListTop) / TextHeight();
    return row < Rows() ? row : -1;
}

QRegion CResultList::RowRegion(int row) const {
    const int h = TextHeight();
    QRegion region;
    for (int column = 0; column < 3; ++column) region += ColumnRect(row, column, h);
    return region;
}

QPoint CResultList::MenuPoint() const {
    const int row = std::max(selected_, 0);
    const QPoint corner(kColumns[0].left, kListTop + row * TextHeight());
    return parentWidget()->mapToGlobal(corner);
}

void CResultList::SelectRow(int row) {
    if (row < 0 || row >= Rows()) row = -1;
    QRegion changed;
    if (selected_ >= 0) changed += RowRegion(selected_);
    if (row >= 0) changed += RowRegion(row);
    const int previous = selected_;
    selected_ = row;
    emit selectionChanged(row);
    if (!changed.isEmpty()) repaint(changed.translated(-pos()));
    if (row == previous) return;
    if (previous >= 0) NotifyRow(this, QAccessible::SelectionRemove, previous);
    if (row >= 0) NotifyRow(this, QAccessible::Selection, row);
    // The keyboard moved the selection: the screen reader reads the new row.
    if (row >= 0 && hasFocus()) NotifyRow(this, QAccessible::Focus, row);
}

void CResultList::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if ((key == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
        (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        emit menuRequested(MenuPoint());
        return;
    }
    if (modifiers != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int last = Rows() - 1;
    switch (key) {
        case Qt::Key_Up:
            SelectRow(selected_ > 0 ? selected_ - 1 : 0);
            return;
        case Qt::Key_Down:
            SelectRow(selected_ < 0 ? 0 : std::min(selected_ + 1, last));
            return;
        case Qt::Key_Home:
            SelectRow(0);
            return;
        case Qt::Key_End:
            SelectRow(last);
            return;
        case Qt::Key_PageDown:
            if (page_.hasNext) emit pageTurnRequested(true);
            return;
        case Qt::Key_PageUp:
            if (page_.hasPrev) emit pageTurnRequested(false);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit rowActivated(selected_);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CResultList::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // The list as a whole has the focus now; its selected row follows, after
    // Qt has told of the list itself.
    QPointer<CResultList> list(this);
    QMetaObject::invokeMethod(
        this,
        [list]() {
            if (!list.isNull() && list->hasFocus() && list->selected_ >= 0) {
                NotifyRow(list, QAccessible::Focus, list->selected_);
            }
        },
        Qt::QueuedConnection);
}

void CResultList::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    // A modal dialog over the window takes the focus for a while; it gives it back.
    if (event->reason() != Qt::PopupFocusReason && QApplication::activeModalWidget() == nullptr) {
        emit focusLeft();
    }
}

void CResultList::PaintList(QPainter& d) const {
    const int h = TextHeight();
    d.setPen(QColor(kTextRed, kTextGreen, kTextBlue));
    d.setBackgroundMode(Qt::TransparentMode);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    for (int i = 0; i < Rows(); ++i) {
        const QStringList& columns = page_.rows[i].columns;
        for (int column = 0; column < columns.size(); ++column) {
            d.drawText(ColumnRect(i, column, h), flags, columns[column]);
        }
        // Seen before: a dot in the free band between the surname and the
        // given names, so that no column's text or place changes.
        if (page_.rows[i].seen) {
            const int gapLeft = kColumns[0].right;
            const int gapWidth = kColumns[1].left - gapLeft;
            const int size = std::max(3, std::min(gapWidth, h) / 3);
            d.save();
            d.setRenderHint(QPainter::Antialiasing);
            d.setPen(Qt::NoPen);
            d.setBrush(QColor(kTextRed, kTextGreen, kTextBlue));
            d.drawEllipse(
                QRect(gapLeft + (gapWidth - size) / 2, kListTop + i * h + (h - size) / 2, size, size));
            d.restore();
        }
    }
    if (selected_ >= 0 && selected_ < Rows()) {
        d.save();
        d.setCompositionMode(QPainter::CompositionMode_Difference);
        for (int column = 0; column < 3; ++column) d.fillRect(ColumnRect(selected_, column, h), Qt::white);
        d.restore();
    }
}

void CResultList::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // The rows in the view's coordinates, where the layout places them.
    painter.save();
    painter.translate(-pos());
    PaintList(painter);
    painter.restore();
    if (!hasFocus()) return;
    painter.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
