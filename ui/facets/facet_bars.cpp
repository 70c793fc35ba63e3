#include "ui/facets/facet_bars.h"

#include <algorithm>

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "ui/common/accessible_events.h"

CFacetBars::CFacetBars(const QString& name, const QString& spokenName, int rows, QWidget* parent)
    : QWidget(parent), rows_(std::max(1, rows)) {
    setObjectName(name);
    setAccessibleName(spokenName);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CFacetBars::SetBars(std::vector<Bar> bars) {
    bars_ = std::move(bars);
    current_ = bars_.empty() ? -1 : 0;
    accessible_events::AnnounceItems(this, Count(), announced_);
    update();
}

void CFacetBars::SetCurrent(int i) {
    if (i < 0 || i >= Count()) i = -1;
    if (i == current_) return;
    const int previous = current_;
    current_ = i;
    update();
    if (previous >= 0) accessible_events::NotifyItem(this, QAccessible::SelectionRemove, previous);
    if (i >= 0) accessible_events::NotifyItem(this, QAccessible::Selection, i);
    if (i >= 0 && hasFocus()) accessible_events::NotifyItem(this, QAccessible::Focus, i);
}

QString CFacetBars::ItemName(int i) const {
    if (i < 0 || i >= Count()) return QString();
    const Bar& bar = BarAt(i);
    return QStringLiteral("%1, %2 %3")
        .arg(bar.label, QLocale::system().toString(static_cast<qlonglong>(bar.count)),
             bar.count == 1 ? QStringLiteral("person") : QStringLiteral("people"));
}

int CFacetBars::RowHeight() const { return fontMetrics().height() + 4; }

QRect CFacetBars::ItemRect(int i) const {
    if (i < 0 || i >= Count() || i >= rows_) return QRect();
    return QRect(0, i * RowHeight(), width(), RowHeight());
}

void CFacetBars::Choose(int i) {
    if (i < 0 || i >= Count()) return;
    SetCurrent(i);
    emit chosen(i);
}

QSize CFacetBars::sizeHint() const {
    return QSize(fontMetrics().averageCharWidth() * 36, rows_ * RowHeight());
}

QSize CFacetBars::minimumSizeHint() const {
    return QSize(fontMetrics().averageCharWidth() * 16, rows_ * RowHeight());
}

void CFacetBars::keyPressEvent(QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || Count() == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int last = std::min(Count(), rows_) - 1;
    switch (event->key()) {
        case Qt::Key_Up:
            SetCurrent(std::max(current_ - 1, 0));
            return;
        case Qt::Key_Down:
            SetCurrent(std::min(current_ + 1, last));
            return;
        case Qt::Key_Home:
            SetCurrent(0);
            return;
        case Qt::Key_End:
            SetCurrent(last);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Choose(current_);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CFacetBars::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    for (int i = 0; i < std::min(Count(), rows_); ++i) {
        if (ItemRect(i).contains(event->position().toPoint())) {
            Choose(i);
            return;
        }
    }
}

void CFacetBars::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    if (current_ >= 0) accessible_events::NotifyItem(this, QAccessible::Focus, current_);
}

void CFacetBars::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void CFacetBars::paintEvent(QPaintEvent* /*event*/) {
    QPainter d(this);
    const QPalette& colours = palette();
    d.fillRect(rect(), colours.base());
    const QFontMetrics metrics = fontMetrics();
    std::int64_t most = 1;
    for (const Bar& bar : bars_) most = std::max(most, bar.count);
    const QLocale locale = QLocale::system();
    const int countWidth = metrics.horizontalAdvance(locale.toString(static_cast<qlonglong>(most))) + 8;
    const int barSpace = std::max(0, width() - countWidth - 4);
    for (int i = 0; i < std::min(Count(), rows_); ++i) {
        const Bar& bar = BarAt(i);
        const QRect row = ItemRect(i);
        const bool current = i == current_ && hasFocus();
        if (current) d.fillRect(row, colours.highlight());
        // The bar under the label, its length the share of the largest count.
        const int length = static_cast<int>(static_cast<double>(barSpace) * static_cast<double>(bar.count) /
                                            static_cast<double>(most));
        QColor fill = colours.color(QPalette::Highlight);
        fill.setAlpha(current ? 110 : 70);
        d.fillRect(QRect(row.left() + 2, row.top() + 2, std::max(1, length), row.height() - 4), fill);
        d.setPen(current ? colours.color(QPalette::HighlightedText) : colours.color(QPalette::Text));
        const QRect text = row.adjusted(4, 0, -countWidth, 0);
        d.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   metrics.elidedText(bar.label, Qt::ElideRight, text.width()));
        d.drawText(row.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                   locale.toString(static_cast<qlonglong>(bar.count)));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &d, this);
    }
}
