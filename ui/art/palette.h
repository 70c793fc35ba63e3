#pragma once
// Colours and fonts shared by the pictures.

#include <QColor>
#include <QFont>
#include <QString>

namespace art {

inline QColor Ink() { return QColor(0x3a, 0x2c, 0x18); }
inline QColor Rule() { return QColor(0x8c, 0x73, 0x4f); }
inline QColor DarkRule() { return QColor(0x6b, 0x54, 0x36); }
inline QColor ParchmentTop() { return QColor(0xee, 0xe4, 0xc9); }
inline QColor ParchmentBottom() { return QColor(0xdd, 0xcb, 0xa2); }
inline QColor Paper() { return QColor(0xfb, 0xf7, 0xec); }
inline QColor PanelPaper() { return QColor(0xf6, 0xef, 0xdc); }
inline QColor Gold() { return QColor(0xd9, 0xb4, 0x5a); }
inline QColor DeepGold() { return QColor(0xa8, 0x84, 0x2f); }
inline QColor SealInk() { return QColor(0x5b, 0x45, 0x20); }

inline QFont ArtFont(const char* family, int pixelSize, bool bold = false, bool italic = false) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

}  // namespace art
