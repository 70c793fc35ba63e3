#pragma once
// The keys a finder's text field passes to the list under it: Up, Down,
// Page Up and Page Down, so that the keyboard can stay in the field while
// it picks a row.

#include <functional>

class QAbstractItemView;
class QKeyEvent;

namespace list_keys {

// Whether key (a press, without modifiers) moves in the list.
bool MovesInList(const QKeyEvent& key);
// Moves in list as key does there; while no row is current, selectFirst
// makes the first one current instead.
void MoveInList(QAbstractItemView& list, const QKeyEvent& key, const std::function<void()>& selectFirst);

}  // namespace list_keys
