#include "ui/search_view/offer_line.h"

#include <algorithm>

#include <QAccessible>
#include <QColor>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/common/accessible_events.h"
#include "ui/search_view/view_layout.h"

using namespace view_layout;

namespace {

const QString kSeparator = QStringLiteral(", ");

}  // namespace

COfferLine::COfferLine(QWidget* view, const QString& name, const QString& spokenName) : QWidget(view) {
    setObjectName(name);
    setAccessibleName(spokenName);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void COfferLine::SetOffers(const QString& caption, std::vector<Offer> offers, int firstLine) {
    caption_ = caption;
    offers_ = std::move(offers);
    firstLine_ = std::max(0, firstLine);
    if (offers_.size() > static_cast<std::size_t>(kMaxShown)) offers_.resize(kMaxShown);
    current_ = offers_.empty() ? -1 : 0;
    Layout();
    const bool offered = !offers_.empty();
    setFocusPolicy(offered ? Qt::TabFocus : Qt::NoFocus);
    setVisible(offered);
    if (offered) {
        accessible_events::AnnounceItems(this, Count(), announced_);
        QAccessibleEvent described(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
    update();
}

void COfferLine::SetCurrent(int i) {
    if (i < 0 || i >= Count()) i = -1;
    if (i == current_) return;
    const int previous = current_;
    current_ = i;
    update();
    if (previous >= 0) accessible_events::NotifyItem(this, QAccessible::SelectionRemove, previous);
    if (i >= 0) accessible_events::NotifyItem(this, QAccessible::Selection, i);
    if (i >= 0 && hasFocus()) accessible_events::NotifyItem(this, QAccessible::Focus, i);
}

QString COfferLine::ItemText(int i) const {
    return i >= 0 && i < Count() ? offers_[static_cast<std::size_t>(i)].shown : QString();
}

QString COfferLine::ItemName(int i) const {
    return i >= 0 && i < Count() ? offers_[static_cast<std::size_t>(i)].spoken : QString();
}

QString COfferLine::Text() const {
    if (rects_.empty()) return QString();
    QStringList items;
    for (int i = 0; i < static_cast<int>(rects_.size()); ++i) items << ItemText(i);
    const QString offers = items.join(kSeparator);
    return caption_.isEmpty() ? offers : caption_ + QLatin1Char(' ') + offers;
}

QRect COfferLine::ItemRect(int i) const {
    return i >= 0 && i < static_cast<int>(rects_.size()) ? rects_[static_cast<std::size_t>(i)] : QRect();
}

void COfferLine::Layout() {
    rects_.clear();
    const QFontMetrics metrics(font());
    const int h = std::max(1, metrics.height());
    const QRect area = kListArea.ToQRect();
    const int lines = std::max(0, area.height() / h - firstLine_);
    // Offers go on after the caption; one that does not fit goes to the
    // next line, under the first offer, and what fits in no line is dropped.
    const int indent =
        kListFrameMargin + (caption_.isEmpty() ? 0 : metrics.horizontalAdvance(caption_ + QLatin1Char(' ')));
    const int right = kListFrameMargin + area.width();
    int x = indent;
    int line = 0;
    for (int i = 0; i < Count(); ++i) {
        const int width = metrics.horizontalAdvance(ItemText(i));
        if (x + width > right && x > indent) {
            ++line;
            x = indent;
        }
        if (line >= lines || x + width > right) break;
        rects_.emplace_back(x, kListFrameMargin + line * h, width, h);
        x += width + metrics.horizontalAdvance(kSeparator);
    }
    offers_.resize(rects_.size());
    if (current_ >= Count()) current_ = Count() - 1;
    lines_ = rects_.empty() ? 0 : line + 1;
    setGeometry(area.left() - kListFrameMargin, area.top() - kListFrameMargin + firstLine_ * h,
                area.width() + 2 * kListFrameMargin, std::max(1, lines_) * h + 2 * kListFrameMargin);
}

void COfferLine::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) Layout();
}

void COfferLine::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            SetCurrent(std::max(current_ - 1, 0));
            return;
        case Qt::Key_Right:
        case Qt::Key_Down:
            SetCurrent(std::min(current_ + 1, Count() - 1));
            return;
        case Qt::Key_Home:
            SetCurrent(0);
            return;
        case Qt::Key_End:
            SetCurrent(Count() - 1);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (current_ >= 0) emit offerChosen(current_);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void COfferLine::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    for (int i = 0; i < static_cast<int>(rects_.size()); ++i) {
        if (!rects_[static_cast<std::size_t>(i)].contains(event->position().toPoint())) continue;
        SetCurrent(i);
        emit offerChosen(i);
        return;
    }
}

void COfferLine::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    if (current_ >= 0) accessible_events::NotifyItem(this, QAccessible::Focus, current_);
}

void COfferLine::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void COfferLine::paintEvent(QPaintEvent* /*event*/) {
    if (rects_.empty()) return;
    QPainter d(this);
    d.setPen(QColor(kTextRed, kTextGreen, kTextBlue));
    d.setBackgroundMode(Qt::TransparentMode);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    const QFontMetrics metrics(font());
    if (!caption_.isEmpty())
        d.drawText(QRect(kListFrameMargin, kListFrameMargin, rects_.front().left(), metrics.height()), flags,
                   caption_);
    for (int i = 0; i < static_cast<int>(rects_.size()); ++i) {
        const QRect& rect = rects_[static_cast<std::size_t>(i)];
        const bool last = i + 1 == static_cast<int>(rects_.size());
        d.drawText(rect.adjusted(0, 0, last ? 0 : metrics.horizontalAdvance(kSeparator), 0), flags,
                   last ? ItemText(i) : ItemText(i) + kSeparator.trimmed());
    }
    if (!hasFocus()) return;
    // The current offer inverted, as the list's selected row is, inside the list's focus frame.
    if (current_ >= 0) {
        d.save();
        d.setCompositionMode(QPainter::CompositionMode_Difference);
        d.fillRect(rects_[static_cast<std::size_t>(current_)], Qt::white);
        d.restore();
    }
    d.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
    d.drawRect(rect().adjusted(0, 0, -1, -1));
}
