#pragma once
// The widths of a finder's columns, measured as the list's items measure
// their text: the text, a margin each side and a little air.

class QWidget;

namespace column_widths {

// What a column takes beyond its text, in list's style and font.
int Margin(const QWidget& list);
// The database column: room for the longest title of the database list.
int DatabaseColumn(const QWidget& list);

}  // namespace column_widths
