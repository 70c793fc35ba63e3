#pragma once
// Windows-1252 text at the Qt boundary, on the core's conversion tables.
// Everything on disk and inside the core is single-byte Windows-1252;
// QString is used only in widgets.

#include <cstddef>

#include <QByteArray>
#include <QString>

namespace cp1252 {

// Decodes NUL-terminated Windows-1252 bytes (null gives an empty text).
QString ToQString(const char* text);
// Decodes length bytes; a NUL byte among them is kept as U+0000.
QString ToQString(const char* text, std::size_t length);
// Encodes text from the disk or for a message; a character that Windows-1252
// cannot hold becomes '?'. Typed text goes through ui/common/typed_text.h instead.
QByteArray FromQString(const QString& text);

}  // namespace cp1252
