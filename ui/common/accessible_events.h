#pragma once
// What the painted lists (the result list, the close spellings) tell screen
// readers of their items as they change, and a count line of its text. Their interfaces are in
// ui/search_view/accessibility.cpp.

#include <QAccessible>
#include <QString>

class QObject;

namespace accessible_events {

// Tells screen readers of a change at an item of a painted list.
void NotifyItem(QObject* list, QAccessible::Event type, int item);
// Tells them of a painted list's items anew: those past announced are new,
// the others have new texts; announced becomes count.
void AnnounceItems(QObject* list, int count, int& announced);
// Tells them that a line read as its name (a count line) now says newText:
// a text and a name change, and where Qt has announcements, one.
void TextChanged(QObject* line, const QString& oldText, const QString& newText);

}  // namespace accessible_events
