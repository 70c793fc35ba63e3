#pragma once
// Colours and fonts shared by the pictures.

#include <QColor>
#include <QFont>
#include <QPaintDevice>
#include <QPainter>
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

// The faces the drawings use, each from a font file the build names
// (ui/CMakeLists.txt), never one the machine happens to have.
struct Face {
    const char* family;
    const char* style;
};
inline constexpr Face kFaces[] = {
    {"DejaVu Sans", "Book"}, {"DejaVu Sans", "Bold"}, {"DejaVu Serif", "Bold"}, {"DejaVu Serif", "Italic"}};

inline QFont ArtFont(const char* family, int pixelSize, bool bold = false, bool italic = false) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// For the aliased one-pixel lines and frames drawn while it lives. At 1x
// such a line on x = n fills pixel column n; at another scale the painter
// centres the scale-wide pen on n instead, half a column to the left, so
// the lines are moved half a pixel to cover column n as at 1x. (A two-pixel
// line already covers columns n - 1 and n at any scale.) At 1x nothing moves.
class OnePixelLines {
public:
    explicit OnePixelLines(QPainter& p) : p_(p), shifted_(p.device()->devicePixelRatio() != 1.0) {
        if (!shifted_) return;
        p_.save();
        p_.translate(0.5, 0.5);
    }
    ~OnePixelLines() {
        if (shifted_) p_.restore();
    }
    OnePixelLines(const OnePixelLines&) = delete;
    OnePixelLines& operator=(const OnePixelLines&) = delete;

private:
    QPainter& p_;
    bool shifted_;
};

}  // namespace art
