#pragma once
// The viewer's own accessible interfaces, for what the view paints itself:
// the result list (a list with one item per row of the page), the close
// spellings offered after a search that found nobody (a list with one item
// per name) and the count line (a static text), and the database list,
// which carries the name of its painted label. Every other control is a
// standard Qt widget with Qt's own interface.

namespace accessibility {

// Installs the interface factory, once per process.
void Install();

}  // namespace accessibility
