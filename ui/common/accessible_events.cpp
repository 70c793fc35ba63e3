#include "ui/common/accessible_events.h"

#include <QtGlobal>

namespace accessible_events {

void NotifyItem(QObject* list, QAccessible::Event type, int item) {
    QAccessibleEvent event(list, type);
    event.setChild(item);
    QAccessible::updateAccessibility(&event);
}

void AnnounceItems(QObject* list, int count, int& announced) {
    // (Qt's reorder event would say so at once, but its AT-SPI signal is
    // malformed before Qt 6.5; items past the count simply are no more.)
    for (int item = 0; item < count; ++item)
        NotifyItem(list, item < announced ? QAccessible::NameChanged : QAccessible::ObjectCreated, item);
    announced = count;
    QAccessibleEvent described(list, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

void TextChanged(QObject* line, const QString& oldText, const QString& newText) {
    QAccessibleTextUpdateEvent textEvent(line, 0, oldText, newText);
    QAccessible::updateAccessibility(&textEvent);
    QAccessibleEvent nameEvent(line, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameEvent);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Where Qt has announcements, the screen reader speaks the line at once.
    QAccessibleAnnouncementEvent announcement(line, newText);
    QAccessible::updateAccessibility(&announcement);
#endif
}

}  // namespace accessible_events
