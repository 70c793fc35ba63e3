#pragma once
// A record's full text as the viewer shows, copies and prints it: only CR LF
// pairs break its lines (as the record text is laid out); a lone CR or LF is
// a blank. Qt's text widgets and the clipboard want bare line feeds.

#include <QString>

namespace record_text {

// The text with a line feed for each CR LF pair and a blank for a lone CR or LF.
QString Lines(const QString& text);

}  // namespace record_text
