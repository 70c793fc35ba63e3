// What the view paints: the count line, a page of rows split into the
// three columns, the inverted highlight, and the list refresh that leaves
// the rest of the window and the focus alone.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QTest>

#include "browse/session/page_row.h"
#include "browse/session/result_pager.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

QRect Column(int row, int column, int h) { return ColumnRect(row, column, h); }

// Records the regions of the paint events a widget receives.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
};

class ViewPaintingTest : public ViewerTest {
protected:
    void SetUp() override { StartViewer(); }
};

TEST_F(ViewPaintingTest, PageOfRowsInTheirColumnsWithTheCountLine) {
    Search("lee");
    ASSERT_EQ(View()->Pager()->RowsOnPage(), 3);
    const QImage screen = Screen();
    const int h = TextHeight();

    const QRect count = kCountArea.ToQRect();
    EXPECT_EQ(Crop(screen, count), ExpectedText(count, QStringLiteral("3 records found.")));

    const char* const given[3] = {"Robert Edward", "", "Fitzhugh"};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const QString summary = QString::fromLatin1(View()->Pager()->Row(row).summary);
        ASSERT_FALSE(summary.isEmpty());
        EXPECT_EQ(Crop(screen, Column(row, 0, h)), ExpectedText(Column(row, 0, h), QStringLiteral("LEE")));
        if (given[row][0] != '\0') {
            EXPECT_EQ(Crop(screen, Column(row, 1, h)),
                      ExpectedText(Column(row, 1, h), QString::fromLatin1(given[row])));
            EXPECT_EQ(Crop(screen, Column(row, 2, h)), ExpectedText(Column(row, 2, h), summary));
        } else {
            // Two tabs in a row separate like one: the summary moves to the
            // second column and the third stays blank.
            EXPECT_EQ(Crop(screen, Column(row, 1, h)), ExpectedText(Column(row, 1, h), summary));
            EXPECT_EQ(Crop(screen, Column(row, 2, h)), Crop(Backdrop(), Column(row, 2, h)));
        }
    }
    // Below the last row the list is bare.
    const QRect below(20, 249 + 3 * h, 582, 413 - (249 + 3 * h));
    EXPECT_EQ(Crop(screen, below), Crop(Backdrop(), below));
}

TEST_F(ViewPaintingTest, CountLineStaysOnOneLineInsideTheCountArea) {
    Search("smith");
    const QImage screen = Screen();
    const QRect count = kCountArea.ToQRect();
    EXPECT_EQ(Crop(screen, count), ExpectedText(count, QStringLiteral("23 records found.")));
    // Nothing is drawn round the count area.
    const QRect around = count.adjusted(-4, -3, 4, 3);
    QImage outside = Crop(screen, around);
    QImage backdrop = Crop(Backdrop(), around);
    for (int y = 0; y < around.height(); ++y) {
        for (int x = 0; x < around.width(); ++x) {
            if (count.contains(around.topLeft() + QPoint(x, y))) continue;
            ASSERT_EQ(outside.pixel(x, y), backdrop.pixel(x, y)) << x << "," << y;
        }
    }
}

TEST_F(ViewPaintingTest, SelectedRowShowsItsColumnsInverted) {
    Search("smith");
    const int h = TextHeight();
    // A click on a row puts the keyboard in the list: the list has it already, so its frame stays.
    View()->ResultList()->setFocus();
    const QImage before = Screen();
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 249 + 2 * h + 1));
    ASSERT_EQ(View()->SelectedRow(), 2);
    const QImage after = Screen();

    QImage inverted = before;
    inverted.invertPixels();
    for (int column = 0; column < 3; ++column) {
        const QRect rect = Column(2, column, h);
        EXPECT_EQ(Crop(after, rect), Crop(inverted, rect)) << "column " << column;
    }
    // Everything else, the gaps between the columns included, is unchanged.
    QRegion rest = QRegion(0, 0, kViewWidth, kViewHeight) - View()->RowRegion(2);
    rest -= QRect(420, 135, 96, 20);  // More Info became enabled
    for (const QRect& rect : rest) EXPECT_EQ(Crop(after, rect), Crop(before, rect));

    // Another row moves the highlight; the first one is restored.
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 249 + 5 * h));
    ASSERT_EQ(View()->SelectedRow(), 5);
    const QImage moved = Screen();
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(Crop(moved, Column(2, column, h)), Crop(before, Column(2, column, h)));
        EXPECT_EQ(Crop(moved, Column(5, column, h)), Crop(inverted, Column(5, column, h)));
    }
}

TEST_F(ViewPaintingTest, RefreshListRepaintsOnlyTheListAndCountAreasAndKeepsTheFocus) {
    Search("smith");
    Button(kIdClear)->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(Button(kIdClear)->hasFocus());
    const QImage before = Screen();

    PaintSpy spy(View());
    View()->RefreshList();
    EXPECT_GE(spy.paints, 1);
    EXPECT_TRUE((spy.painted - View()->ListRegion()).isEmpty()) << "painted outside the list and count areas";
    EXPECT_TRUE(Button(kIdClear)->hasFocus());
    EXPECT_EQ(Screen(), before) << "a refresh of the same page changes nothing";

    // A page turn goes through the same refresh.
    spy.painted = QRegion();
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    EXPECT_FALSE(spy.painted.isEmpty());
    // Outside the list only controls whose state or focus changed repaint their own ground.
    QRegion controls;
    for (QObject* child : View()->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child)) controls += widget->geometry();
    }
    EXPECT_TRUE((spy.painted - View()->ListRegion() - controls).isEmpty());
}

TEST_F(ViewPaintingTest, AFullPaintGivesTheFocusBackToTheSurnameEditAndKeepsTheHighlight) {
    Search("smith");
    const int h = TextHeight();
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 249 + h + 1));
    Button(kIdClear)->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(Button(kIdClear)->hasFocus());
    // (A full paint once came with the window's return; the rule now comes
    // with the activation itself, and a paint only paints.)
    WindowActivatedAgain();
    EXPECT_TRUE(Surname()->hasFocus());
    EXPECT_EQ(View()->SelectedRow(), 1);
    EXPECT_TRUE(Button(kIdMoreInfo)->isEnabled());
}

}  // namespace
}  // namespace ui_test
