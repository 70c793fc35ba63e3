#include "ui/search_view/spelling_hint.h"

#include <algorithm>

#include <QAccessible>
#include <QColor>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/common/accessible_events.h"
#include "ui/common/cp1252_qt.h"
#include "ui/search_view/view_layout.h"

using namespace view_layout;

namespace {

const QString kCaption = QStringLiteral("Close spellings:");
const QString kSeparator = QStringLiteral(", ");

}  // namespace

CSpellingHint::CSpellingHint(QWidget* view) : QWidget(view) {
    setObjectName(QStringLiteral("SpellingHint"));
    setAccessibleName(QStringLiteral("Close spellings"));
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void CSpellingHint::SetSpellings(std::vector<ListedSurname> spellings) {
    spellings_ = std::move(spellings);
    if (spellings_.size() > static_cast<std::size_t>(kMaxShown)) spellings_.resize(kMaxShown);
    current_ = spellings_.empty() ? -1 : 0;
    Layout();
    const bool offered = !spellings_.empty();
    setFocusPolicy(offered ? Qt::TabFocus : Qt::NoFocus);
    setVisible(offered);
    if (offered) {
        accessible_events::AnnounceItems(this, Count(), announced_);
        QAccessibleEvent described(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
    update();
}

void CSpellingHint::SetCurrent(int i) {
    if (i < 0 || i >= Count()) i = -1;
    if (i == current_) return;
    const int previous = current_;
    current_ = i;
    update();
    if (previous >= 0) accessible_events::NotifyItem(this, QAccessible::SelectionRemove, previous);
    if (i >= 0) accessible_events::NotifyItem(this, QAccessible::Selection, i);
    if (i >= 0 && hasFocus()) accessible_events::NotifyItem(this, QAccessible::Focus, i);
}

QString CSpellingHint::ItemText(int i) const {
    if (i < 0 || i >= Count()) return QString();
    const ListedSurname& spelling = Spelling(i);
    return QStringLiteral("%1 (%2)").arg(cp1252::ToQString(spelling.surname.c_str())).arg(spelling.count);
}

QString CSpellingHint::ItemName(int i) const {
    if (i < 0 || i >= Count()) return QString();
    const ListedSurname& spelling = Spelling(i);
    return QStringLiteral("%1, %2 %3")
        .arg(cp1252::ToQString(spelling.surname.c_str()))
        .arg(spelling.count)
        .arg(spelling.count == 1 ? QStringLiteral("person") : QStringLiteral("people"));
}

QString CSpellingHint::Text() const {
    if (rects_.empty()) return QString();
    QStringList names;
    for (int i = 0; i < static_cast<int>(rects_.size()); ++i) names << ItemText(i);
    return kCaption + QLatin1Char(' ') + names.join(kSeparator);
}

QRect CSpellingHint::ItemRect(int i) const {
    return i >= 0 && i < static_cast<int>(rects_.size()) ? rects_[static_cast<std::size_t>(i)] : QRect();
}

void CSpellingHint::Layout() {
    rects_.clear();
    const QFontMetrics metrics(font());
    const int h = metrics.height();
    const QRect area = kListArea.ToQRect();
    const int lines = std::max(1, area.height() / std::max(1, h));
    // Names go on after the caption; a name that does not fit goes to the
    // next line, under the first name, and what fits in no line is dropped.
    const int indent = kListFrameMargin + metrics.horizontalAdvance(kCaption + QLatin1Char(' '));
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
    spellings_.resize(rects_.size());
    if (current_ >= Count()) current_ = Count() - 1;
    const int used = rects_.empty() ? 1 : line + 1;
    setGeometry(area.left() - kListFrameMargin, area.top() - kListFrameMargin,
                area.width() + 2 * kListFrameMargin, std::min(used, lines) * h + 2 * kListFrameMargin);
}

void CSpellingHint::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) Layout();
}

void CSpellingHint::keyPressEvent(QKeyEvent* event) {
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
            if (current_ >= 0) emit spellingChosen(current_);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CSpellingHint::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    for (int i = 0; i < static_cast<int>(rects_.size()); ++i) {
        if (!rects_[static_cast<std::size_t>(i)].contains(event->position().toPoint())) continue;
        SetCurrent(i);
        emit spellingChosen(i);
        return;
    }
}

void CSpellingHint::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    if (current_ >= 0) accessible_events::NotifyItem(this, QAccessible::Focus, current_);
}

void CSpellingHint::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void CSpellingHint::paintEvent(QPaintEvent* /*event*/) {
    if (rects_.empty()) return;
    QPainter d(this);
    d.setPen(QColor(kTextRed, kTextGreen, kTextBlue));
    d.setBackgroundMode(Qt::TransparentMode);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    const QFontMetrics metrics(font());
    d.drawText(QRect(kListFrameMargin, kListFrameMargin, rects_.front().left(), metrics.height()), flags,
               kCaption);
    for (int i = 0; i < static_cast<int>(rects_.size()); ++i) {
        const QRect& rect = rects_[static_cast<std::size_t>(i)];
        const bool last = i + 1 == static_cast<int>(rects_.size());
        d.drawText(rect.adjusted(0, 0, last ? 0 : metrics.horizontalAdvance(kSeparator), 0), flags,
                   last ? ItemText(i) : ItemText(i) + kSeparator.trimmed());
    }
    if (!hasFocus()) return;
    // The current name inverted, as the list's selected row is, inside the list's focus frame.
    if (current_ >= 0) {
        d.save();
        d.setCompositionMode(QPainter::CompositionMode_Difference);
        d.fillRect(rects_[static_cast<std::size_t>(current_)], Qt::white);
        d.restore();
    }
    d.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
    d.drawRect(rect().adjusted(0, 0, -1, -1));
}
