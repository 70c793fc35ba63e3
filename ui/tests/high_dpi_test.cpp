// Pictures on high-DPI screens: each drawn for the device pixel ratio, none
// a blown-up 1x picture, all in the 1x picture's coordinates.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include <QPainter>

#include "ui/common/resource_names.h"
#include "ui/pictures/scaled_picture.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {
namespace {

// The 1x image blown up to size, each pixel repeated: what a screen shows
// of a picture that has no drawing of its own for the ratio.
QImage BlownUp(const QImage& base, QSize size) {
    return base.convertToFormat(QImage::Format_RGB32)
        .scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

int DifferingPixels(const QImage& a, const QImage& b) {
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.convertToFormat(QImage::Format_RGB32);
    if (left.size() != right.size()) return left.width() * left.height();
    int differing = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) differing += left.pixel(x, y) != right.pixel(x, y) ? 1 : 0;
    }
    return differing;
}

// The mean difference of the channels of two images of one size, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y);
            const QRgb q = right.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * left.width() * left.height());
}

TEST(ScaledPictureTest, EachRatioGetsAPictureDrawnForItNotABlowUp) {
    struct Case {
        const char* name;
        qreal ratio;
        int minDiffering;  // pixels that a blow-up would have the same
    };
    const std::vector<Case> cases = {
        {resources::kBackdrop, 1.5, 20000}, {resources::kBackdrop, 2, 20000},
        {resources::kBackdrop, 2.5, 20000}, {resources::kPrevUp, 2, 30},
        {resources::kNextDim, 1.5, 30},     {resources::kNextFocus, 3, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.ratio));
        CScaledPicture picture;
        ASSERT_TRUE(picture.Load(c.name));
        const QPixmap& scaled = picture.At(c.ratio);
        const QSize base = picture.Base().size();
        EXPECT_EQ(scaled.devicePixelRatio(), c.ratio);
        EXPECT_EQ(scaled.size(), QSize(qRound(base.width() * c.ratio), qRound(base.height() * c.ratio)));
        EXPECT_EQ(scaled.deviceIndependentSize().toSize(), base) << "the same coordinates";
        const QImage image = scaled.toImage();
        EXPECT_GE(DifferingPixels(image, BlownUp(picture.Base().toImage(), image.size())), c.minDiffering);
        // And it is the same picture: reduced to 1x it is close to the 1x one.
        EXPECT_LT(MeanDifference(image.scaled(base, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                                 picture.Base().toImage()),
                  12.0);
    }
    CScaledPicture backdrop;
    ASSERT_TRUE(backdrop.Load(resources::kBackdrop));
    EXPECT_EQ(&backdrop.At(1), &backdrop.Base()) << "1x is the picture as it always was";
}

class HighDpiViewTest : public ViewerTest {
protected:
    void SetUp() override { StartViewer(); }
    // The view as painted on a device of ratio.
    QImage Painted(qreal ratio) {
        QImage image(qRound(view_layout::kViewWidth * ratio), qRound(view_layout::kViewHeight * ratio),
                     QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::black);
        View()->render(&image);
        return image;
    }
};

TEST_F(HighDpiViewTest, AtRatioTwoTheBackdropAndTheArrowsArePaintedFromTheirTwoXDrawings) {
    const QImage one = Painted(1);
    const QImage two = Painted(2);
    struct Area {
        const char* what;
        QRect rect;  // device-independent
        const char* picture;
        QPoint origin;  // of the picture in the view
    };
    const std::vector<Area> areas = {
        {"title", QRect(200, 10, 400, 50), resources::kBackdrop, QPoint(0, 0)},
        {"field names", QRect(140, 70, 90, 50), resources::kBackdrop, QPoint(0, 0)},
        {"Prev", QRect(541, 179, 19, 23), resources::kPrevDim, QPoint(541, 179)},
    };
    for (const Area& area : areas) {
        SCOPED_TRACE(area.what);
        const QRect device(area.rect.topLeft() * 2, area.rect.size() * 2);
        const QImage painted = two.copy(device);
        EXPECT_GT(DifferingPixels(painted, BlownUp(one.copy(area.rect), device.size())), 100)
            << "a 2x2 enlargement of the 1x window";
        CScaledPicture picture;
        ASSERT_TRUE(picture.Load(area.picture));
        const QImage drawn = picture.At(2).toImage().copy(device.translated(-area.origin * 2));
        EXPECT_EQ(DifferingPixels(painted, drawn), 0) << "not the 2x drawing, pixel for pixel";
    }
}

}  // namespace
}  // namespace ui_test
