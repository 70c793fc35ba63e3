// The dialog-box keyboard of the view: Tab order, Alt with the underlined
// letter, Enter on a button and Enter in the edits and the list.

#include <gtest/gtest.h>

#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "browse/session/result_pager.h"
#include "ui/app/main_frame.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

class ViewKeyboardTest : public ViewerTest {
protected:
    void SetUp() override { StartViewer(); }
    int FocusId() const {
        QWidget* focus = QApplication::focusWidget();
        return focus != nullptr ? focus->property("controlId").toInt() : -1;
    }
    std::vector<int> TabThrough(int steps, bool backwards) {
        std::vector<int> ids;
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                            backwards ? Qt::ShiftModifier : Qt::NoModifier);
            ids.push_back(FocusId());
        }
        return ids;
    }
};

TEST_F(ViewKeyboardTest, TabVisitsTheEnabledControlsInCreationOrder) {
    Button(kIdSearch)->setFocus();
    EXPECT_EQ(TabThrough(7, false), (std::vector<int>{101, 102, 103, 108, 109, 114, 1}));
    EXPECT_EQ(TabThrough(3, true), (std::vector<int>{114, 109, 108}));

    // With results and a selection More Info and Next join the round.
    Search("smith");
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 250));
    Button(kIdSearch)->setFocus();
    EXPECT_EQ(TabThrough(5, false), (std::vector<int>{101, 104, 107, 102, 103}));
}

TEST_F(ViewKeyboardTest, AltWithTheUnderlinedLetterPressesTheButtonAtOnce) {
    Surname()->setText(QStringLiteral("lee"));
    QTest::keyClick(Surname(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 3) << "Alt+S searched";
    EXPECT_EQ(Surname()->text(), QStringLiteral("lee")) << "the letter is not typed";

    // Alt+M with no row selected: More Info is disabled and does nothing.
    QTest::keyClick(Surname(), Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    QTest::keyClick(FirstName(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 0) << "Alt+C cleared";
    EXPECT_TRUE(Surname()->text().isEmpty());

    // Alt+Q posts the close.
    QTest::keyClick(Surname(), Qt::Key_Q, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_FALSE(frame_->isVisible());
}

TEST_F(ViewKeyboardTest, EnterPressesTheFocusedButton) {
    Search("lee");
    Button(kIdClear)->setFocus();
    QTest::keyClick(Button(kIdClear), Qt::Key_Return);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 0) << "Enter on Clear cleared, it did not search";
    EXPECT_TRUE(Surname()->text().isEmpty());

    Search("smith");
    Arrow(kIdNext)->setFocus();
    QTest::keyClick(Arrow(kIdNext), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(
        QString::fromLatin1(View()->RowText(0).c_str()).startsWith(QStringLiteral("SMITH\tEdward\t")));
}

TEST_F(ViewKeyboardTest, EnterInTheEditsAndTheListSearches) {
    Surname()->setText(QStringLiteral("lee"));
    QTest::keyClick(FirstName(), Qt::Key_Return);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 3);

    Surname()->setText(QStringLiteral("smith"));
    DatabaseList()->setFocus();
    QTest::keyClick(DatabaseList(), Qt::Key_Return);
    EXPECT_EQ(View()->Pager()->RowsOnPage(), 10);
    EXPECT_EQ(DatabaseList()->currentIndex(), 0);
}

TEST_F(ViewKeyboardTest, TheViewPassesTheFocusOnToTheSurnameEdit) {
    Button(kIdClear)->setFocus();
    View()->setFocus();
    EXPECT_TRUE(Surname()->hasFocus());
    // A click in the list area below the last row leaves the focus where it was.
    Search("lee");
    FirstName()->setFocus();
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 249 + 5 * TextHeight()));
    EXPECT_TRUE(FirstName()->hasFocus());
}

}  // namespace
}  // namespace ui_test

namespace ui_test {
namespace {

TEST_F(ViewKeyboardTest, ActivatingTheWindowAgainPutsTheFocusInTheSurnameEdit) {
    Search("lee");
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 250));
    Button(kIdClear)->setFocus();
    ASSERT_TRUE(Button(kIdClear)->hasFocus());

    // Another window takes the activation, then the viewer gets it back.
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    QApplication::setActiveWindow(&other);
    ASSERT_EQ(QApplication::activeWindow(), &other);
    QApplication::setActiveWindow(frame_);
    ASSERT_EQ(QApplication::activeWindow(), frame_);
    EXPECT_TRUE(Surname()->hasFocus());
    EXPECT_EQ(View()->SelectedRow(), 0) << "the highlighted row stays";
}

}  // namespace
}  // namespace ui_test
