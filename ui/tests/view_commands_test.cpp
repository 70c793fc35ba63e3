// Driving the viewer as a user: searching, paging, selecting, clearing and
// the data-disk prompt.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "browse/record_text/search_messages.h"
#include "browse/session/result_pager.h"
#include "platform/message_box.h"
#include "store/data_disk.h"
#include "ui/app/main_frame.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;
using platform::MessageAnswer;

namespace ui_test {
namespace {

class ViewCommandsTest : public ViewerTest {
protected:
    void SetUp() override { StartViewer(); }

    void ClickRow(int row) {
        QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 249 + row * TextHeight() + 1));
    }
    QString Row(int i) const { return QString::fromLatin1(View()->RowText(i).c_str()); }
    QImage CountLine() { return Crop(Screen(), kCountArea.ToQRect()); }
    QImage ExpectedCount(const char* text) const {
        return ExpectedText(kCountArea.ToQRect(), QString::fromLatin1(text));
    }
};

TEST_F(ViewCommandsTest, TypingASurnameAndEnterListsTheFirstPage) {
    QTest::keyClicks(Surname(), QStringLiteral("smith"));
    QTest::keyClick(Surname(), Qt::Key_Return);
    EXPECT_EQ(View()->Pager()->RecordCount(), kSmithCount);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 10);
    EXPECT_TRUE(Row(0).startsWith(QStringLiteral("SMITH\tJohn Henry\t"))) << Row(0).toStdString();
    EXPECT_TRUE(Row(9).startsWith(QStringLiteral("SMITH\tCharles\t"))) << Row(9).toStdString();
    EXPECT_EQ(CountLine(), ExpectedCount("23 records found."));
    EXPECT_TRUE(Arrow(kIdNext)->isEnabled());
    EXPECT_FALSE(Arrow(kIdPrev)->isEnabled());
    EXPECT_FALSE(Button(kIdMoreInfo)->isEnabled());
    EXPECT_FALSE(View()->IsBusy());
    EXPECT_EQ(View()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ViewCommandsTest, FirstNameKeepsOnlyGivenNamesThatBeginWithItsLetters) {
    Search("Smith", "jo");
    // John Henry, Joseph, Jo Ann, Jonathan.
    EXPECT_EQ(View()->Pager()->RecordCount(), 4);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 4);
    EXPECT_TRUE(Row(2).startsWith(QStringLiteral("SMITH\tJo Ann\t")));
    EXPECT_EQ(CountLine(), ExpectedCount("4 records found."));
}

TEST_F(ViewCommandsTest, NextToTheLastPageAndPrevBackMoveTheFocusOffTheDisabledButton) {
    Search("smith");
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 10);
    EXPECT_TRUE(Arrow(kIdPrev)->isEnabled());
    EXPECT_TRUE(Arrow(kIdNext)->isEnabled());
    EXPECT_TRUE(Row(0).startsWith(QStringLiteral("SMITH\tEdward\t")));

    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 3);
    EXPECT_FALSE(Arrow(kIdNext)->isEnabled());
    EXPECT_TRUE(Arrow(kIdPrev)->hasFocus()) << "the disabled Next gives the focus to Prev";
    EXPECT_TRUE(Row(2).startsWith(QStringLiteral("SMITH\tSamuel\t")));
    EXPECT_EQ(CountLine(), ExpectedCount("23 records found."));
    // The rows of the earlier page are gone from the screen.
    const int h = TextHeight();
    const QRect below(20, 249 + 3 * h, 582, 413 - (249 + 3 * h));
    EXPECT_EQ(Crop(Screen(), below), Crop(Backdrop(), below));

    QTest::mouseClick(Arrow(kIdPrev), Qt::LeftButton);
    EXPECT_TRUE(Arrow(kIdPrev)->isEnabled());
    QTest::mouseClick(Arrow(kIdPrev), Qt::LeftButton);
    EXPECT_FALSE(Arrow(kIdPrev)->isEnabled());
    EXPECT_TRUE(Arrow(kIdNext)->hasFocus()) << "the disabled Prev gives the focus to Next";
    EXPECT_TRUE(Row(0).startsWith(QStringLiteral("SMITH\tJohn Henry\t")));
}

TEST_F(ViewCommandsTest, ClickingSelectsARowAndBelowTheLastRowClearsTheSelection) {
    Search("smith");
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    ASSERT_EQ(View()->Pager()->RowsOnPage(), 3);
    const int h = TextHeight();

    // (y - 249) / h: one pixel into band 2 is row 2.
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(25, 249 + 2 * h + 1));
    EXPECT_EQ(View()->SelectedRow(), 2);
    EXPECT_TRUE(Button(kIdMoreInfo)->isEnabled());
    // The same row again keeps it selected.
    ClickRow(2);
    EXPECT_EQ(View()->SelectedRow(), 2);
    // A click outside the list area changes nothing.
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 249 + h));
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(602, 249 + h));
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 413));
    EXPECT_EQ(View()->SelectedRow(), 2);
    // Row 3 does not exist on a page of 3 rows.
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(25, 249 + 3 * h + 1));
    EXPECT_EQ(View()->SelectedRow(), -1);
    EXPECT_FALSE(Button(kIdMoreInfo)->isEnabled());
    // Turning the page undoes a selection.
    ClickRow(0);
    ASSERT_EQ(View()->SelectedRow(), 0);
    QTest::mouseClick(Arrow(kIdPrev), Qt::LeftButton);
    EXPECT_EQ(View()->SelectedRow(), -1);
    EXPECT_FALSE(Button(kIdMoreInfo)->isEnabled());
}

TEST_F(ViewCommandsTest, ClearEmptiesBothEditsAndTheListButKeepsTheDatabase) {
    DatabaseList()->setCurrentIndex(0);
    Search("smith", "j");
    ClickRow(1);
    DatabaseList()->setCurrentIndex(5);
    Button(kIdClear)->setFocus();
    QTest::mouseClick(Button(kIdClear), Qt::LeftButton);
    EXPECT_TRUE(Surname()->text().isEmpty());
    EXPECT_TRUE(FirstName()->text().isEmpty());
    EXPECT_EQ(DatabaseList()->currentIndex(), 5);
    EXPECT_EQ(View()->SelectedRow(), -1);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 0);
    EXPECT_FALSE(Button(kIdMoreInfo)->isEnabled());
    EXPECT_FALSE(Arrow(kIdNext)->isEnabled());
    EXPECT_TRUE(Surname()->hasFocus());
    EXPECT_EQ(CountLine(), ExpectedCount("0 records found."));
    const QRect list = kListArea.ToQRect();
    EXPECT_EQ(Crop(Screen(), list), Crop(Backdrop(), list));
}

TEST_F(ViewCommandsTest, EmptySurnameAsksForOneWithTheHourglassUpAndKeepsTheResults) {
    Search("lee");
    testing_support::ScriptedResponder boxes;
    Qt::CursorShape cursorDuringBox = Qt::ArrowCursor;
    Qt::CursorShape editCursorDuringBox = Qt::ArrowCursor;
    boxes.onShow = [&](const testing_support::ShownBox&) {
        cursorDuringBox = View()->cursor().shape();
        editCursorDuringBox = Surname()->cursor().shape();
    };
    Button(kIdClear)->setFocus();
    Surname()->clear();
    QTest::mouseClick(Button(kIdSearch), Qt::LeftButton);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Please enter a surname.");
    EXPECT_EQ(boxes.Shown()[0].caption, "Chronara");
    EXPECT_EQ(boxes.Shown()[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(boxes.Shown()[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(cursorDuringBox, Qt::WaitCursor) << "busy lasts until the box is closed";
    EXPECT_EQ(editCursorDuringBox, Qt::WaitCursor);
    EXPECT_EQ(View()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(Surname()->hasFocus());
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 3) << "the previous results stay";
}

TEST_F(ViewCommandsTest, TwentyCharacterSurnameIsSearchedAsItsFirstNineteen) {
    QTest::keyClicks(Surname(), QStringLiteral("Fortescue-WhitfieldsX"));
    EXPECT_EQ(Surname()->text(), QStringLiteral("Fortescue-Whitfields")) << "the edit holds 20";
    QTest::keyClick(Surname(), Qt::Key_Return);
    EXPECT_EQ(View()->Pager()->RecordCount(), 1);
    EXPECT_TRUE(Row(0).startsWith(QStringLiteral("FORTESCUE-WHITFIELD\tArthur\t")));
}

TEST_F(ViewCommandsTest, UnknownSurnameShowsTheEmptyState) {
    Search("lee");
    Search("Nobody");
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 0);
    EXPECT_EQ(CountLine(), ExpectedCount("0 records found."));
    const QRect list = kListArea.ToQRect();
    EXPECT_EQ(Crop(Screen(), list), Crop(Backdrop(), list));
    EXPECT_FALSE(Arrow(kIdNext)->isEnabled());
}

TEST_F(ViewCommandsTest, InsertDiskPromptAnsweredOkOnceTheDiskIsBackSearches) {
    RemoveMarker();
    testing_support::ScriptedResponder boxes;
    boxes.Script({MessageAnswer::Ok, MessageAnswer::Ok});
    int prompts = 0;
    boxes.onShow = [&](const testing_support::ShownBox& box) {
        EXPECT_EQ(box.text, search_messages::kInsertDiskText);
        EXPECT_EQ(box.buttons, platform::MessageButtons::OkCancel);
        // Its details say what the viewer looked for.
        EXPECT_NE(box.details.find("holds no chronaradb.id"), std::string::npos) << box.details;
        // OK without the disk asks again; the second time the disk is back.
        if (++prompts == 2) RestoreMarker();
    };
    Search("lee");
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 3);
    EXPECT_EQ(CountLine(), ExpectedCount("3 records found."));
}

TEST_F(ViewCommandsTest, InsertDiskPromptCancelledLeavesTheEmptyState) {
    Search("lee");
    RemoveMarker();
    testing_support::ScriptedResponder boxes;
    boxes.Script({MessageAnswer::Cancel});
    Search("smith");
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{search_messages::kInsertDiskText});
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 0);
    EXPECT_EQ(CountLine(), ExpectedCount("0 records found."));
    EXPECT_FALSE(View()->IsBusy());
}

TEST_F(ViewCommandsTest, PageTurnWithTheDiskGoneAndCancelKeepsThePageAndTheSelection) {
    Search("smith");
    ClickRow(4);
    RemoveMarker();
    testing_support::ScriptedResponder boxes;
    boxes.Script({MessageAnswer::Cancel});
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(Row(0).startsWith(QStringLiteral("SMITH\tJohn Henry\t")));
    EXPECT_EQ(View()->SelectedRow(), 4);
    EXPECT_TRUE(Button(kIdMoreInfo)->isEnabled());

    boxes.Clear();
    boxes.Script({MessageAnswer::Ok});
    boxes.onShow = [&](const testing_support::ShownBox&) { RestoreMarker(); };
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(Row(0).startsWith(QStringLiteral("SMITH\tEdward\t")));
    EXPECT_EQ(View()->SelectedRow(), -1);
}

TEST_F(ViewCommandsTest, ChangingTheInputsChangesNothingUntilTheNextSearch) {
    Search("smith");
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    const QImage before = Screen();
    DatabaseList()->setCurrentIndex(3);
    Surname()->setText(QStringLiteral("lee"));
    FirstName()->setText(QStringLiteral("x"));
    const QRect list = kListArea.ToQRect();
    EXPECT_EQ(Crop(Screen(), list), Crop(before, list));
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 3) << "Next goes on with the results shown";
}

}  // namespace
}  // namespace ui_test
