#include "ui/common/cp1252_qt.h"

#include <cstring>

#include <QList>

#include "store/cp1252.h"

namespace cp1252 {

QString ToQString(const char* text) {
    if (text == nullptr) return QString();
    return ToQString(text, std::strlen(text));
}

QString ToQString(const char* text, std::size_t length) {
    QString result;
    if (text == nullptr) return result;
    result.reserve(static_cast<qsizetype>(length));
    for (std::size_t i = 0; i < length; ++i) {
        // Every Windows-1252 byte stands for a code point of the basic plane.
        result.append(QChar(static_cast<char16_t>(CodePointOfByte(static_cast<unsigned char>(text[i])))));
    }
    return result;
}

QByteArray FromQString(const QString& text) {
    QByteArray result;
    const QList<uint> codePoints = text.toUcs4();
    result.reserve(codePoints.size());
    for (uint codePoint : codePoints) {
        const int byte = ByteOfCodePoint(static_cast<char32_t>(codePoint));
        result.append(byte >= 0 ? static_cast<char>(static_cast<unsigned char>(byte)) : '?');
    }
    return result;
}

}  // namespace cp1252
