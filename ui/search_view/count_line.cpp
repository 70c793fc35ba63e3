#include "ui/search_view/count_line.h"

#include <QAccessible>
#include <QColor>
#include <QPainter>
#include <QtGlobal>

#include "ui/search_view/view_layout.h"

CCountLine::CCountLine(QWidget* view) : QWidget(view) {
    setObjectName(QStringLiteral("CountLine"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void CCountLine::Announce(const QString& text, const QString& page) {
    const QString oldText = text_;
    const QString oldPage = page_;
    text_ = text;
    page_ = page;
    shown_ = text;
    if (text_ != oldText) {
        QAccessibleTextUpdateEvent textEvent(this, 0, oldText, text_);
        QAccessible::updateAccessibility(&textEvent);
        QAccessibleEvent nameEvent(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&nameEvent);
    }
    // The page is said after every turn, even when it reads as before (a
    // new search of as many records).
    QAccessibleEvent pageEvent(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&pageEvent);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Where Qt has announcements, the screen reader speaks the line at once.
    QAccessibleAnnouncementEvent announcement(this,
                                              page_.isEmpty() ? text_ : text_ + QLatin1Char(' ') + page_);
    QAccessible::updateAccessibility(&announcement);
#endif
}

void CCountLine::paintEvent(QPaintEvent* /*event*/) {
    QPainter d(this);
    d.setPen(QColor(view_layout::kTextRed, view_layout::kTextGreen, view_layout::kTextBlue));
    d.setBackgroundMode(Qt::TransparentMode);
    d.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown_);
}
