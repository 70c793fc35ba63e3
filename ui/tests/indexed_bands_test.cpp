// The 1x pictures in indexed bands: each is its PNG drawing pixel for
// pixel, painted or whole, and damaged bands are refused, never painted.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <QPainter>

#include "ui/common/resource_names.h"
#include "ui/pictures/indexed_bands.h"
#include "ui/pictures/scaled_picture.h"

namespace ui_test {
namespace {

TEST(IndexedBandsTest, EachOneXPictureIsItsPngDrawingPixelForPixel) {
    struct Case {
        const char* resource;
        const char* png;  // as chronara-artgen drew it
    };
    const std::vector<Case> cases = {
        {resources::kBackdrop, "backdrop.png"},
        {resources::kPrevDim, "prev_dim.png"},
        {resources::kNextFocus, "next_focus.png"},
        {resources::kProgramIcon, "icon.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resource);
        const QImage drawn(QStringLiteral(CHRONARA_ART_DIR "/") + QLatin1String(c.png));
        ASSERT_FALSE(drawn.isNull());
        CScaledPicture picture;
        ASSERT_TRUE(picture.Load(c.resource));
        EXPECT_EQ(picture.Size(), drawn.size());
        // Whole, as the window icon and other ratios take it: alpha and all.
        EXPECT_EQ(picture.Base().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                  drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        // Painted band by band over a ground, within a clip that cuts bands.
        QImage painted(drawn.size() + QSize(6, 6), QImage::Format_RGB32);
        painted.fill(Qt::magenta);
        QImage expected = painted;
        const QRegion clip = QRegion(painted.rect()) - QRegion(4, drawn.height() / 3, drawn.width() / 2, 9);
        {
            QPainter painter(&painted);
            painter.setClipRegion(clip);
            picture.Paint(painter, QPoint(3, 2));
        }
        {
            QPainter painter(&expected);
            painter.setClipRegion(clip);
            painter.drawImage(QPoint(3, 2), drawn);
        }
        EXPECT_EQ(painted, expected);
    }
}

TEST(IndexedBandsTest, DamagedBandsAreRefused) {
    // 600 colours, 20 a row: three bands.
    QImage image(20, 30, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgba(x * 12, y * 8, 7, 255 - x));
    }
    const QByteArray good = CIndexedBands::Encode(image);
    CIndexedBands bands;
    ASSERT_TRUE(bands.Load(good));
    EXPECT_EQ(bands.ToImage(), image) << "colours and alpha as they were";

    // The first band's header follows the 12-byte header; its indices follow its colours.
    const int firstColours = uchar(good[14]) | (uchar(good[15]) << 8);
    const int firstIndices = 16 + 4 * firstColours;
    const auto setU16 = [](QByteArray& data, int at, int value) {
        data[at] = char(value & 0xff);
        data[at + 1] = char(value >> 8);
    };
    struct Case {
        const char* what;
        std::function<void(QByteArray&)> damage;
    };
    const std::vector<Case> cases = {
        {"empty", [](QByteArray& d) { d.clear(); }},
        {"another magic", [](QByteArray& d) { d[3] = '2'; }},
        {"header cut short", [](QByteArray& d) { d.truncate(9); }},
        {"colours cut short", [&](QByteArray& d) { d.truncate(firstIndices - 2); }},
        {"indices cut short", [](QByteArray& d) { d.chop(1); }},
        {"a byte after the last band", [](QByteArray& d) { d.append('\0'); }},
        {"no width", [&](QByteArray& d) { setU16(d, 4, 0); }},
        {"taller than its bands", [&](QByteArray& d) { setU16(d, 6, 31); }},
        {"a band past the bottom", [&](QByteArray& d) { setU16(d, 12, 31); }},
        {"a band of no colours", [&](QByteArray& d) { setU16(d, 14, 0); }},
        {"257 colours", [&](QByteArray& d) { setU16(d, 14, 257); }},
        {"an index past the colours", [&](QByteArray& d) { d[firstIndices + 5] = char(firstColours); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray damaged = good;
        c.damage(damaged);
        CIndexedBands loaded;
        EXPECT_FALSE(loaded.Load(damaged));
        EXPECT_TRUE(loaded.IsNull());
        EXPECT_TRUE(loaded.ToImage().isNull());
    }

    QImage wide(300, 2, QImage::Format_RGB32);
    for (int x = 0; x < wide.width(); ++x) wide.setPixel(x, 0, qRgb(x % 256, x / 256, 0));
    EXPECT_TRUE(CIndexedBands::Encode(wide).isEmpty()) << "a row of 300 colours has no band";
}

}  // namespace
}  // namespace ui_test
