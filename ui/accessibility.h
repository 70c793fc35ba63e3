#pragma once
// The viewer's own accessible interfaces, for what the view paints itself:
// the result list (a list with one item per row of the page), the close
// spellings offered after a search that found nobody (a list with one item
// per name) and the count line (a static text), and the database list,
// which carries the name of its painted label. Every other control is a
// standard Qt widget with Qt's own interface.

#include <QAccessible>

class QObject;

namespace accessibility {

// Installs the interface factory, once per process.
void Install();

// Tells screen readers of a change at an item of a painted list.
void NotifyItem(QObject* list, QAccessible::Event type, int item);
// Tells them of a painted list's items anew: those past announced are new,
// the others have new texts; announced becomes count.
void AnnounceItems(QObject* list, int count, int& announced);

}  // namespace accessibility
