#include "ui/result_list.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

#include "ui/view_view.h"

CResultList::CResultList(CViewView* view) : QWidget(view), view_(view) {
    setObjectName(QStringLiteral("ResultList"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // The keyboard's menu key and Shift+F10 reach the view through OnListKey.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void CResultList::SetHasRows(bool hasRows) {
    setFocusPolicy(hasRows ? Qt::TabFocus : Qt::NoFocus);
    if (!hasRows && hasFocus()) view_->OnSetFocus();
}

void CResultList::keyPressEvent(QKeyEvent* event) {
    if (!view_->OnListKey(event->key(), event->modifiers())) QWidget::keyPressEvent(event);
}

void CResultList::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    view_->OnListFocus();
}

void CResultList::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    // A modal dialog over the window takes the focus for a while; it gives it back.
    if (event->reason() != Qt::PopupFocusReason && QApplication::activeModalWidget() == nullptr) {
        view_->OnListFocusOut();
    }
}

void CResultList::paintEvent(QPaintEvent* /*event*/) {
    // Nothing but the focus frame: the rows under it are the view's.
    if (!hasFocus()) return;
    QPainter painter(this);
    painter.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
