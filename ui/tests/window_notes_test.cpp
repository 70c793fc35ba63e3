// What the main window shows and says beside its rows: the page shown
// under the Pages label, a row whole in its tip, the keyboard focus on a
// button, and the note under the Last Name box for a surname longer than
// is searched.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include "ui/common/typed_text.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/count_line.h"
#include "ui/search_view/page_line.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

class WindowNotesTest : public ViewerTest {
protected:
    void SetUp() override { StartViewer(); }
};

TEST_F(WindowNotesTest, ThePageShownAndThePagesStandUnderThePagesLabel) {
    CPageLine* line = View()->PageLine();
    ASSERT_NE(line, nullptr);
    const QImage before = Crop(Screen(), kPageArea.ToQRect());
    EXPECT_TRUE(line->Shown().isEmpty()) << "no page before a search";
    // 23 people, 10 a page: three pages, each said as it is shown.
    struct Step {
        int turn;  // +1 Next, -1 Prev, 0 the search
        const char* shown;
    };
    const Step steps[] = {{0, "1 of 3"}, {+1, "2 of 3"}, {+1, "3 of 3"}, {-1, "2 of 3"}};
    for (const Step& step : steps) {
        if (step.turn == 0) Search("smith");
        if (step.turn != 0) QTest::mouseClick(Arrow(step.turn > 0 ? kIdNext : kIdPrev), Qt::LeftButton);
        QApplication::processEvents();
        EXPECT_EQ(line->Shown(), QString::fromLatin1(step.shown));
        EXPECT_EQ(line->accessibleName(), QStringLiteral("Page ") + QString::fromLatin1(step.shown));
        EXPECT_EQ(View()->CountLine()->Page(), QStringLiteral("Page ") + QString::fromLatin1(step.shown));
        EXPECT_NE(Crop(Screen(), kPageArea.ToQRect()), before) << step.shown << " is painted";
    }
    // Nobody found, and Clear: no page, and the window as it was.
    Search("Nobodyhere");
    EXPECT_TRUE(line->Shown().isEmpty());
    Search("smith");
    QTest::mouseClick(Button(kIdClear), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(line->Shown().isEmpty());
    EXPECT_EQ(Crop(Screen(), kPageArea.ToQRect()), before);
}

TEST_F(WindowNotesTest, ARowsTipAndItsAccessibleNameGiveItWhole) {
    Search("smith");
    CResultList* list = View()->ResultList();
    ASSERT_GT(list->Rows(), 1);
    for (int row : {0, 1}) {
        const QRect band = View()->RowRegion(row).boundingRect();
        const QPoint at(kColumns[1].left + 4, band.center().y());
        QHelpEvent help(QEvent::ToolTip, at, View()->mapToGlobal(at));
        QApplication::sendEvent(View(), &help);
        const QString whole = list->RowColumns(row).join(QStringLiteral(", "));
        EXPECT_EQ(QToolTip::text(), whole);
        EXPECT_TRUE(whole.startsWith(QStringLiteral("SMITH, "))) << whole.toStdString();
        QAccessibleInterface* rows = QAccessible::queryAccessibleInterface(list);
        ASSERT_NE(rows, nullptr);
        ASSERT_GT(rows->childCount(), row);
        EXPECT_EQ(rows->child(row)->text(QAccessible::Name), whole);
    }
    // Below the last row there is no tip: the event is not taken.
    Search("Lee");
    const QPoint below(kColumns[1].left + 4, kListArea.bottom - 2);
    ASSERT_LT(View()->RowAt(below), 0);
    QHelpEvent help(QEvent::ToolTip, below, View()->mapToGlobal(below));
    QApplication::sendEvent(View(), &help);
    EXPECT_FALSE(help.isAccepted());
}

TEST_F(WindowNotesTest, TheFocusedButtonIsMarkedTheDefaultOneAlike) {
    // Search is the default button: with the focus it must still look otherwise than without.
    QPushButton* search = Button(kIdSearch);
    Surname()->setFocus();
    QApplication::processEvents();
    const QImage without = search->grab().toImage();
    search->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(search->hasFocus());
    const QImage with = search->grab().toImage();
    EXPECT_NE(with, without);
    // And a button that is not the default one.
    QPushButton* clear = Button(kIdClear);
    const QImage clearWith = clear->grab().toImage();  // without: the focus is on Search
    clear->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_NE(clear->grab().toImage(), clearWith);
}

TEST_F(WindowNotesTest, ASurnameLongerThanIsSearchedIsSaidUnderTheBox) {
    const QString note = QStringLiteral(
        "Only the first 19 letters are searched; Find Surname (Ctrl+F) finds longer surnames.");
    Surname()->setFocus();
    struct Case {
        const char* typed;
        bool said;
    };
    // kLongSurname is 19 letters: searched whole, nothing said.
    const Case cases[] = {{kLongSurname, false}, {"Bjornstrom-Steffansson", true}, {"Smith", false}};
    for (const Case& c : cases) {
        Surname()->clear();
        QTest::keyClicks(Surname(), QString::fromLatin1(c.typed));
        EXPECT_EQ(Surname()->accessibleDescription() == note, c.said) << c.typed;
        if (c.said) {
            EXPECT_EQ(typed_text::LastTip(*Surname()), note);
        }
    }
    // Pasted whole, cut by the box: said too.
    Surname()->clear();
    QApplication::clipboard()->setText(QStringLiteral("Bjornstrom-Steffansson"));
    QTest::keyClick(Surname(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Surname()->text().size(), 20);
    EXPECT_EQ(Surname()->accessibleDescription(), note);
    // A surname a listing shows whole in the box (it is searched whole) is not a note.
    Surname()->clear();
    EXPECT_TRUE(View()->SearchListedSurname(1, "SMITH"));
    Surname()->setText(QStringLiteral("Bjornstrom-Steffanss"));
    EXPECT_NE(Surname()->accessibleDescription(), note);
}

}  // namespace
}  // namespace ui_test
