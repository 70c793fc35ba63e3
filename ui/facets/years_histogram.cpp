#include "ui/facets/years_histogram.h"

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

namespace {

// The narrowest bar that stays visible and clickable.
constexpr int kMinBarWidth = 4;

}  // namespace

CYearsHistogram::CYearsHistogram(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("YearsHistogram"));
    setAccessibleName(QStringLiteral("Years"));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CYearsHistogram::SetYears(std::vector<facets::YearCount> years) {
    years_ = std::move(years);
    Rebin();
}

void CYearsHistogram::SetRange(bool given, int from, int to) {
    ranged_ = given;
    rangeFrom_ = from;
    rangeTo_ = to;
    PlaceSpanOnRange();
    accessible_events::AnnounceItems(this, Count(), announced_);
    update();
}

bool CYearsHistogram::InRange(int i) const {
    if (!ranged_ || i < 0 || i >= Count()) return false;
    const year_bins::Bin& bin = BinAt(i);
    return bin.from <= rangeTo_ && bin.to >= rangeFrom_;
}

void CYearsHistogram::PlaceSpanOnRange() {
    // The keys start from the range in force, so that new counts do not
    // lose where the user was.
    current_ = anchor_ = bins_.empty() ? -1 : 0;
    int first = -1, last = -1;
    for (int i = 0; i < Count(); ++i) {
        if (!InRange(i)) continue;
        if (first < 0) first = i;
        last = i;
    }
    if (first >= 0) {
        anchor_ = first;
        current_ = last;
    }
}

void CYearsHistogram::Rebin() {
    year_bins::Layout layout = year_bins::LayOut(years_, std::max(1, PlotArea().width() / kMinBarWidth));
    bins_ = std::move(layout.bins);
    earlier_ = layout.earlier;
    later_ = layout.later;
    PlaceSpanOnRange();
    accessible_events::AnnounceItems(this, Count(), announced_);
    update();
    emit laidOut();
}

QRect CYearsHistogram::PlotArea() const {
    // The years of the first and last bars are written under the plot.
    return rect().adjusted(2, 2, -2, -(fontMetrics().height() + 4));
}

QRect CYearsHistogram::ItemRect(int i) const {
    if (i < 0 || i >= Count()) return QRect();
    const QRect plot = PlotArea();
    const int left = plot.left() + plot.width() * i / Count();
    const int right = plot.left() + plot.width() * (i + 1) / Count();
    return QRect(left, plot.top(), std::max(1, right - left), plot.height());
}

int CYearsHistogram::BarAt(const QPoint& point) const {
    const QRect plot = PlotArea();
    if (Count() == 0 || plot.width() <= 0) return -1;
    const int x = std::clamp(point.x(), plot.left(), plot.right());
    return std::clamp((x - plot.left()) * Count() / plot.width(), 0, Count() - 1);
}

int CYearsHistogram::SpanFirst() const { return std::min(anchor_, current_); }
int CYearsHistogram::SpanLast() const { return std::max(anchor_, current_); }

QString CYearsHistogram::ItemName(int i) const {
    if (i < 0 || i >= Count()) return QString();
    const year_bins::Bin& bin = BinAt(i);
    const QString name = QStringLiteral("%1, %2 %3")
                             .arg(QString::fromStdString(year_bins::Name(bin)),
                                  QLocale::system().toString(static_cast<qlonglong>(bin.count)),
                                  bin.count == 1 ? QStringLiteral("person") : QStringLiteral("people"));
    return InRange(i) ? name + QStringLiteral(", in the years range") : name;
}

void CYearsHistogram::SetCurrent(int i) { MoveTo(i, false); }

void CYearsHistogram::MoveTo(int i, bool stretch) {
    if (Count() == 0) return;
    i = std::clamp(i, 0, Count() - 1);
    const int previous = current_;
    current_ = i;
    if (!stretch) anchor_ = i;
    update();
    if (previous == i) return;
    if (previous >= 0) accessible_events::NotifyItem(this, QAccessible::SelectionRemove, previous);
    accessible_events::NotifyItem(this, QAccessible::Selection, i);
    if (hasFocus()) accessible_events::NotifyItem(this, QAccessible::Focus, i);
}

void CYearsHistogram::Choose(int first, int last) {
    if (Count() == 0) return;
    first = std::clamp(first, 0, Count() - 1);
    last = std::clamp(last, 0, Count() - 1);
    if (first > last) std::swap(first, last);
    anchor_ = first;
    current_ = last;
    update();
    emit yearsChosen(BinAt(first).from, BinAt(last).to);
}

QSize CYearsHistogram::sizeHint() const { return QSize(fontMetrics().averageCharWidth() * 36, 90); }
QSize CYearsHistogram::minimumSizeHint() const { return QSize(fontMetrics().averageCharWidth() * 16, 60); }

void CYearsHistogram::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool stretch = modifiers == Qt::ShiftModifier;
    if ((modifiers != Qt::NoModifier && !stretch) || Count() == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Left:
            MoveTo(current_ - 1, stretch);
            return;
        case Qt::Key_Right:
            MoveTo(current_ + 1, stretch);
            return;
        case Qt::Key_Home:
            MoveTo(0, stretch);
            return;
        case Qt::Key_End:
            MoveTo(Count() - 1, stretch);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (!stretch) Choose(SpanFirst(), SpanLast());
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CYearsHistogram::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || Count() == 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    dragging_ = true;
    MoveTo(BarAt(event->position().toPoint()), false);
}

void CYearsHistogram::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) MoveTo(BarAt(event->position().toPoint()), true);
}

void CYearsHistogram::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    MoveTo(BarAt(event->position().toPoint()), true);
    Choose(SpanFirst(), SpanLast());
}

void CYearsHistogram::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    if (current_ >= 0) accessible_events::NotifyItem(this, QAccessible::Focus, current_);
}

void CYearsHistogram::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void CYearsHistogram::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Rebin();
}

void CYearsHistogram::paintEvent(QPaintEvent* /*event*/) {
    QPainter d(this);
    const QPalette& colours = palette();
    d.fillRect(rect(), colours.base());
    const QRect plot = PlotArea();
    std::int64_t most = 1;
    for (const year_bins::Bin& bin : bins_) most = std::max(most, bin.count);
    for (int i = 0; i < Count(); ++i) {
        const QRect slot = ItemRect(i);
        // The keys' span while they move it; the range in force always.
        const bool spanned = i >= SpanFirst() && i <= SpanLast() && hasFocus();
        const bool marked = spanned || InRange(i);
        if (spanned) d.fillRect(slot, colours.color(QPalette::AlternateBase));
        // A strip along the foot, so that years of the range with nobody show too.
        if (InRange(i))
            d.fillRect(QRect(slot.left(), plot.bottom() - 2, slot.width(), 3), colours.highlight());
        const int height = static_cast<int>(static_cast<double>(plot.height()) *
                                            static_cast<double>(BinAt(i).count) / static_cast<double>(most));
        if (height <= 0) continue;
        const QRect bar(slot.left() + (slot.width() > 3 ? 1 : 0), plot.bottom() - height + 1,
                        std::max(1, slot.width() - (slot.width() > 3 ? 1 : 0)), height);
        d.fillRect(bar, marked ? colours.highlight() : colours.color(QPalette::Mid));
    }
    d.setPen(colours.color(QPalette::Text));
    d.drawLine(plot.bottomLeft(), plot.bottomRight());
    if (!bins_.empty()) {
        const int y = plot.bottom() + 2;
        const QRect under(plot.left(), y, plot.width(), fontMetrics().height());
        d.drawText(under, Qt::AlignLeft | Qt::AlignTop, QString::number(bins_.front().from));
        d.drawText(under, Qt::AlignRight | Qt::AlignTop, QString::number(bins_.back().to));
        if (hasFocus() && current_ >= 0) {
            // Between the end years, cut short rather than written over them.
            const int ends = fontMetrics().horizontalAdvance(QStringLiteral("0000 ")) + 2;
            const QRect middle = under.adjusted(ends, 0, -ends, 0);
            d.drawText(middle, Qt::AlignHCenter | Qt::AlignTop,
                       fontMetrics().elidedText(ItemName(current_), Qt::ElideRight, middle.width()));
        }
    }
    if (hasFocus()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &d, this);
    }
}
