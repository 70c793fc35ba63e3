#pragma once
// The titles of the databases as the viewer shows them (the catalogue's,
// converted from Windows-1252), and the room the longest of them takes.

#include <vector>

#include <QString>

class QFontMetrics;

// The title of database code; empty for a code the catalogue does not hold.
QString DatabaseTitle(int code);
// The titles of codes, in order, separated by commas.
QString DatabaseTitles(const std::vector<int>& codes);
// The width of the longest title of the database list, in metrics' font.
int WidestDatabaseTitle(const QFontMetrics& metrics);
