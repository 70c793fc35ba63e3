// The window at start: the frame, the ten controls, the initial state and
// the large-text rule.

#include <gtest/gtest.h>

#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "browse/session/result_pager.h"
#include "store/catalogue.h"
#include "ui/app/main_frame.h"
#include "ui/common/resource_names.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/pictures/scaled_picture.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

struct Expected {
    int id;
    const char* name;
    QRect geometry;
    const char* text;
    bool enabled;
};

class ViewLayoutTest : public ViewerTest {};

TEST_F(ViewLayoutTest, FrameIsFixedTitledCentredAndWithoutMenu) {
    StartViewer();
    EXPECT_EQ(frame_->windowTitle(), QStringLiteral("Chronara"));
    EXPECT_EQ(frame_->size(), QSize(632, 453));
    EXPECT_EQ(frame_->minimumSize(), frame_->maximumSize()) << "the window must not be resizable";
    EXPECT_FALSE(frame_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(frame_->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(frame_->menuWidget(), nullptr);
    EXPECT_EQ(View()->geometry(), QRect(0, 0, 632, 453)) << "the view is the whole client area";
    EXPECT_FALSE(frame_->windowIcon().isNull());

    const QRect work = frame_->screen()->availableGeometry();
    const QRect placed = frame_->frameGeometry();
    EXPECT_LE(std::abs(placed.center().x() - work.center().x()), 1);
    EXPECT_LE(std::abs(placed.center().y() - work.center().y()), 1);
}

TEST_F(ViewLayoutTest, ControlsInCreationOrderWithIdsTextsRectanglesAndStates) {
    StartViewer();
    const std::vector<Expected> expected = {
        {1, "Search", QRect(200, 135, 96, 20), "&Search", true},
        {101, "Clear", QRect(310, 135, 96, 20), "&Clear", true},
        {104, "MoreInfo", QRect(420, 135, 96, 20), "&More Info", false},
        {106, "Prev", QRect(541, 179, 19, 23), "", false},
        {107, "Next", QRect(582, 179, 19, 23), "", false},
        {102, "Help", QRect(219, 426, 96, 20), "Help", true},
        {103, "Quit", QRect(320, 426, 96, 20), "&Quit", true},
        {108, "Surname", QRect(236, 71, 161, 24), "", true},
        {109, "FirstName", QRect(461, 71, 161, 24), "", true},
        {114, "DatabaseList", QRect(), "", true},
    };
    std::vector<QWidget*> controls;
    for (QObject* child : View()->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && widget->property("controlId").isValid()) controls.push_back(widget);
    }
    ASSERT_EQ(controls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        QWidget* control = controls[i];
        EXPECT_EQ(control->property("controlId").toInt(), expected[i].id);
        EXPECT_EQ(control->objectName(), QLatin1String(expected[i].name));
        EXPECT_EQ(View()->GetDlgItem(expected[i].id), control);
        EXPECT_EQ(control->isEnabled(), expected[i].enabled);
        EXPECT_TRUE(control->isVisible());
        if (!expected[i].geometry.isNull()) {
            EXPECT_EQ(control->geometry(), expected[i].geometry);
        }
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            EXPECT_EQ(button->text(), QLatin1String(expected[i].text));
        }
    }
    EXPECT_TRUE(Button(kIdSearch)->isDefault());

    for (QLineEdit* edit : {Surname(), FirstName()}) {
        EXPECT_EQ(edit->maxLength(), 20);
        EXPECT_TRUE(edit->hasFrame());
        EXPECT_TRUE(edit->text().isEmpty());
    }

    QComboBox* list = DatabaseList();
    EXPECT_FALSE(list->isEditable());
    EXPECT_EQ(list->x(), 236);
    EXPECT_EQ(list->y(), 101);
    EXPECT_EQ(list->width(), 280);
    EXPECT_LE(list->y() + list->height(), 351);
    ASSERT_EQ(list->count(), catalogue::kRowCount);
    for (int row = 0; row < catalogue::kRowCount; ++row) {
        EXPECT_EQ(list->itemText(row), QString::fromLatin1(catalogue::ListText(row)));
    }
    EXPECT_EQ(list->itemText(2), QStringLiteral("Revolutionary War")) << "unsorted";
    EXPECT_EQ(list->currentIndex(), 0);
}

TEST_F(ViewLayoutTest, StartsEmptyWithFocusInTheSurnameEdit) {
    StartViewer();
    EXPECT_TRUE(Surname()->hasFocus());
    EXPECT_EQ(View()->SelectedRow(), -1);
    EXPECT_FALSE(View()->IsBusy());
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 0);
    EXPECT_FALSE(Button(kIdMoreInfo)->isEnabled());
    EXPECT_FALSE(Arrow(kIdPrev)->isEnabled());
    EXPECT_FALSE(Arrow(kIdNext)->isEnabled());

    const QImage screen = Screen();
    const QRect count = kCountArea.ToQRect();
    EXPECT_EQ(Crop(screen, count), ExpectedText(count, QStringLiteral("0 records found.")));
    const QRect list = kListArea.ToQRect();
    EXPECT_EQ(Crop(screen, list), Crop(Backdrop(), list)) << "no rows at start";
    // Outside the controls the window shows the backdrop itself.
    const QRect title(20, 10, 170, 50);
    EXPECT_EQ(Crop(screen, title), Crop(Backdrop(), title));
}

TEST_F(ViewLayoutTest, DisabledArrowsShowTheirDimImages) {
    StartViewer();
    const QImage screen = Screen();
    const auto picture = [](const char* name) {
        CScaledPicture dim;
        dim.Load(name);
        return dim.Base().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage dimPrev = picture(resources::kPrevDim);
    const QImage dimNext = picture(resources::kNextDim);
    ASSERT_EQ(dimPrev.size(), QSize(19, 23));
    EXPECT_EQ(Crop(screen, QRect(541, 179, 19, 23)), dimPrev);
    EXPECT_EQ(Crop(screen, QRect(582, 179, 19, 23)), dimNext);
}

TEST_F(ViewLayoutTest, SmallTextKeepsTenRowsAndHelpAndQuitAt426) {
    ASSERT_LT(QFontMetrics(QApplication::font()).height(), 20) << "the tests' font is small";
    StartViewer();
    EXPECT_EQ(View()->Pager()->PageSize(), 10);
    EXPECT_EQ(Button(kIdHelp)->geometry(), QRect(219, 426, 96, 20));
    EXPECT_EQ(Button(kIdQuit)->geometry(), QRect(320, 426, 96, 20));
}

class LargeTextTest : public ViewerTest {
protected:
    LargeTextTest() : saved_(QApplication::font()) {
        QFont large = saved_;
        large.setPixelSize(18);
        QApplication::setFont(large);
    }
    ~LargeTextTest() override {
        StopViewer();
        QApplication::setFont(saved_);
    }
    QFont saved_;
};

TEST_F(LargeTextTest, EightRowsAndHelpAndQuitMovedUpAtTheFirstPaint) {
    ASSERT_GE(QFontMetrics(QApplication::font()).height(), 20);
    StartViewer();
    EXPECT_EQ(View()->Pager()->PageSize(), 8);
    EXPECT_EQ(Button(kIdHelp)->geometry(), QRect(219, 423, 96, 20));
    EXPECT_EQ(Button(kIdQuit)->geometry(), QRect(320, 423, 96, 20));

    Search("Smith");
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 8);
    const int h = TextHeight();
    // Row 7 is painted in its band, below it nothing.
    const QImage screen = Screen();
    const QRect lastRow(20, 249 + 7 * h, 120, h);
    EXPECT_EQ(Crop(screen, lastRow), ExpectedText(lastRow, QStringLiteral("SMITH")));
}

}  // namespace
}  // namespace ui_test
