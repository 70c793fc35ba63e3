#include "ui/search_view/page_line.h"

#include <QColor>
#include <QPainter>

#include "ui/search_view/view_layout.h"

CPageLine::CPageLine(QWidget* view) : QWidget(view) {
    setObjectName(QStringLiteral("PageLine"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(view_layout::kPageArea.ToQRect());
}

void CPageLine::SetPage(const QString& pageText) {
    // Under the label "Pages" the word is said already: "2 of 3".
    const QString shown = pageText.startsWith(QLatin1String("Page ")) ? pageText.mid(5) : pageText;
    if (shown == shown_) return;
    shown_ = shown;
    setAccessibleName(pageText);
    update();
}

void CPageLine::paintEvent(QPaintEvent* /*event*/) {
    if (shown_.isEmpty()) return;
    QPainter d(this);
    d.setPen(QColor(view_layout::kTextRed, view_layout::kTextGreen, view_layout::kTextBlue));
    d.drawText(rect(), Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, shown_);
}
