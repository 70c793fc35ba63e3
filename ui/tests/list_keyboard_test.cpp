// The keyboard alone: the result list as a Tab stop with its keys, F1, and
// Alt letters that press nothing and type nothing.

#include <gtest/gtest.h>

#include <vector>

#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "browse/record_text/search_messages.h"
#include "browse/session/result_pager.h"
#include "platform/message_box.h"
#include "store/data_disk.h"
#include "ui/app/main_frame.h"
#include "ui/common/help_window.h"
#include "ui/find_surname/find_surname_dlg.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;
using platform::MessageAnswer;

namespace ui_test {
namespace {

class ListKeyboardTest : public ViewerTest {
protected:
    void SetUp() override { StartViewer(); }
    CResultList* List() const { return View()->ResultList(); }
    QString Row(int i) const { return QString::fromLatin1(View()->RowText(i).c_str()); }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Searches by keyboard and tabs from the database list into the result list.
    void SearchAndEnterTheList(const char* surname) {
        Surname()->setFocus();
        QTest::keyClicks(Surname(), QString::fromLatin1(surname));
        Press(Qt::Key_Return);
        DatabaseList()->setFocus();
        Press(Qt::Key_Tab);
        ASSERT_TRUE(List()->hasFocus());
    }
};

TEST_F(ListKeyboardTest, TheListIsATabStopAfterTheOtherControlsWhileItHasRows) {
    EXPECT_EQ(List()->focusPolicy(), Qt::NoFocus) << "no rows, no stop";
    SearchAndEnterTheList("smith");
    Press(Qt::Key_Tab);
    EXPECT_TRUE(Button(kIdSearch)->hasFocus()) << "from the list on to the first control";
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(List()->hasFocus());
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(DatabaseList()->hasFocus());

    // A search that finds nobody takes the stop away, and the focus with it.
    Surname()->setText(QStringLiteral("nobody"));
    Press(Qt::Key_Tab);
    ASSERT_TRUE(List()->hasFocus());
    Press(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(View()->RowsOnPage(), 0);
    EXPECT_EQ(List()->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(Surname()->hasFocus());
}

TEST_F(ListKeyboardTest, ArrowsHomeAndEndMoveTheSelectionWithTheHighlightOfAClick) {
    SearchAndEnterTheList("smith");
    ASSERT_EQ(View()->RowsOnPage(), 10);
    struct Step {
        Qt::Key key;
        int selected;
    };
    const std::vector<Step> steps = {
        {Qt::Key_Down, 0}, {Qt::Key_Down, 1}, {Qt::Key_Up, 0},   {Qt::Key_Up, 0},
        {Qt::Key_End, 9},  {Qt::Key_Down, 9}, {Qt::Key_Home, 0}, {Qt::Key_Down, 1},
    };
    for (const Step& step : steps) {
        Press(step.key);
        EXPECT_EQ(View()->SelectedRow(), step.selected) << "key " << step.key;
    }
    EXPECT_TRUE(Button(kIdMoreInfo)->isEnabled());
    EXPECT_TRUE(List()->hasFocus());

    // The same window as a click on the row gives (the focus stays in the list).
    const QImage byKeys = Screen();
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 249 + 5 * TextHeight() + 1));
    ASSERT_EQ(View()->SelectedRow(), 5);
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 249 + 1 * TextHeight() + 1));
    ASSERT_EQ(View()->SelectedRow(), 1);
    EXPECT_EQ(Screen(), byKeys);
}

TEST_F(ListKeyboardTest, PageKeysTurnThePageThroughTheArrowButtonsHandlers) {
    SearchAndEnterTheList("smith");
    struct Step {
        Qt::Key key;
        const char* firstRow;
        int rows;
    };
    // Page Up on the first page and Page Down on the last do nothing.
    const std::vector<Step> steps = {
        {Qt::Key_PageUp, "SMITH\tJohn Henry\t", 10}, {Qt::Key_PageDown, "SMITH\tEdward\t", 10},
        {Qt::Key_PageDown, "SMITH\tPeter\t", 3},     {Qt::Key_PageDown, "SMITH\tPeter\t", 3},
        {Qt::Key_PageUp, "SMITH\tEdward\t", 10},
    };
    for (const Step& step : steps) {
        Press(step.key);
        SCOPED_TRACE(step.firstRow);
        EXPECT_TRUE(Row(0).startsWith(QLatin1String(step.firstRow))) << Row(0).toStdString();
        EXPECT_EQ(View()->RowsOnPage(), step.rows);
        EXPECT_TRUE(List()->hasFocus()) << "the focus stays in the list, even as an arrow is disabled";
    }
    EXPECT_EQ(View()->SelectedRow(), 0) << "a turned page has its first row selected";

    // The turn checks for the data disk first; cancelled, nothing changes.
    Press(Qt::Key_Down);
    RemoveMarker();
    testing_support::ScriptedResponder boxes;
    boxes.Script({MessageAnswer::Cancel});
    Press(Qt::Key_PageDown);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{search_messages::kInsertDiskText});
    EXPECT_TRUE(Row(0).startsWith(QStringLiteral("SMITH\tEdward\t")));
    EXPECT_EQ(View()->SelectedRow(), 1);
}

TEST_F(ListKeyboardTest, EnterOpensMoreInfoOfTheSelectedRowOnly) {
    SearchAndEnterTheList("lee");
    QString title;
    {
        ModalWatcher watcher([&](QWidget* modal) { title = modal->windowTitle(); });
        Press(Qt::Key_Return);
        EXPECT_FALSE(watcher.Fired()) << "no row selected, no record";
    }
    Press(Qt::Key_End);
    ModalWatcher watcher([&](QWidget* modal) { title = modal->windowTitle(); });
    Press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(watcher.Fired());
    EXPECT_EQ(title, QStringLiteral("LEE, Fitzhugh"));
    // Back from the record the keyboard goes on in the list, through the
    // window's activation too, until the focus leaves it; then the view's rule is as ever.
    for (int i = 0; i < 100 && !List()->hasFocus(); ++i) QTest::qWait(10);  // the window's activation
    ASSERT_TRUE(List()->hasFocus());
    WindowActivatedAgain();
    EXPECT_TRUE(List()->hasFocus());
    Press(Qt::Key_Tab);
    WindowActivatedAgain();
    EXPECT_TRUE(Surname()->hasFocus());
}

TEST_F(ListKeyboardTest, EveryCommandFromTheListGivesTheKeyboardBackToItOnItsRow) {
    // The print and file dialogs as the real ones are: modal, over the window, here cancelled.
    View()->SetPrintDialogRunner([](QPrinter&, QWidget* parent) {
        QDialog dialog(parent);
        dialog.exec();
        return false;
    });
    View()->SetSaveFileAsker([](QWidget* parent, const QString&) {
        QDialog dialog(parent);
        dialog.exec();
        return QString();
    });
    // An entry of the list's menu, opened by the menu key.
    auto fromMenu = [this](const char* entry) {
        QTimer::singleShot(0, [entry]() {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions()) {
                if (action->text() == QString::fromUtf8(entry)) menu->setActiveAction(action);
            }
            QTest::keyClick(menu, Qt::Key_Return);
        });
        Press(Qt::Key_Menu);
    };
    struct Case {
        const char* command;
        std::function<void()> start;
    };
    const std::vector<Case> cases = {
        {"Ctrl+P", [this]() { Press(Qt::Key_P, Qt::ControlModifier); }},
        {"Print record", [&]() { fromMenu("&Print record\u2026"); }},
        {"Print results", [&]() { fromMenu("Print re&sults\u2026"); }},
        {"Export results", [&]() { fromMenu("&Export results\u2026"); }},
        {"Copy record", [&]() { fromMenu("Copy &record"); }},
        {"Copy", [this]() { Press(Qt::Key_C, Qt::ControlModifier); }},
        {"More Info", [this]() { Press(Qt::Key_Return); }},
        {"Find Surname", [this]() { Press(Qt::Key_F, Qt::ControlModifier); }},
    };
    SearchAndEnterTheList("smith");
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    for (const Case& c : cases) {
        ASSERT_TRUE(List()->hasFocus()) << c.command;
        ModalWatcher cancel([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        c.start();
        // The window's activation comes back after a dialog; it must mean the list.
        WindowActivatedAgain();
        EXPECT_TRUE(List()->hasFocus()) << c.command;
        EXPECT_EQ(View()->SelectedRow(), 1) << c.command;
    }
    // Find Surname taken from the list: the keyboard goes on in the list, on the new search's first row.
    {
        ModalWatcher take([](QWidget* modal) {
            auto* dialog = qobject_cast<CFindSurnameDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->TextField()->setText(QStringLiteral("lee"));
            QTest::keyClick(dialog->TextField(), Qt::Key_Return);
        });
        Press(Qt::Key_F, Qt::ControlModifier);
    }
    WindowActivatedAgain();
    EXPECT_EQ(View()->CountText(), QStringLiteral("3 records found."));
    EXPECT_TRUE(List()->hasFocus());
    EXPECT_EQ(View()->SelectedRow(), 0);

    // Ctrl+P without a selected row prints nothing and says nothing but the beep.
    Search("smith");
    bool printed = false;
    View()->SetPrintDialogRunner([&printed](QPrinter&, QWidget*) { return printed = true; });
    testing_support::ScriptedResponder boxes;
    QTest::keyClick(Surname(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(printed);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ListKeyboardTest, AClickOnARowPutsTheKeyboardInTheListSoThatEnterOpensIt) {
    Search("smith");
    for (QWidget* from : std::vector<QWidget*>{Surname(), Arrow(kIdNext), Button(kIdClear)}) {
        WindowActivatedAgain();
        from->setFocus();
        ASSERT_TRUE(from->hasFocus()) << from->objectName().toStdString();
        QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 249 + 2 * TextHeight() + 1));
        EXPECT_TRUE(List()->hasFocus()) << from->objectName().toStdString();
        EXPECT_EQ(View()->SelectedRow(), 2);
        QString title;
        ModalWatcher watcher([&](QWidget* modal) { title = modal->windowTitle(); });
        Press(Qt::Key_Return);
        EXPECT_EQ(title, QStringLiteral("SMITH, Jo Ann")) << from->objectName().toStdString();
    }
}

TEST_F(ListKeyboardTest, F1OpensHelpFromAnyControlAndEscClosesIt) {
    Search("lee");
    List()->setFocus();
    for (QWidget* from : std::vector<QWidget*>{Surname(), DatabaseList(), List(), Button(kIdClear)}) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_F1);
        ASSERT_NE(View()->HelpWindow(), nullptr) << from->objectName().toStdString();
        EXPECT_TRUE(View()->HelpWindow()->isVisible());
        EXPECT_EQ(View()->HelpWindow()->CurrentContext(), 19);
        QTest::keyClick(View()->HelpWindow()->Browser(), Qt::Key_Escape);
        EXPECT_FALSE(View()->HelpWindow()->isVisible()) << "Esc closes help";
    }
}

TEST_F(ListKeyboardTest, AnAltLetterThatPressesNothingTypesNothing) {
    Search("Smith", "J");
    ASSERT_FALSE(Button(kIdMoreInfo)->isEnabled());
    struct Case {
        QWidget* target;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const std::vector<Case> cases = {
        {Surname(), Qt::Key_M, Qt::AltModifier},  // More Info is disabled
        {Surname(), Qt::Key_X, Qt::AltModifier},  // no button has X
        {FirstName(), Qt::Key_M, Qt::AltModifier},
        {FirstName(), Qt::Key_Z, Qt::AltModifier | Qt::ShiftModifier},
        {DatabaseList(), Qt::Key_W, Qt::AltModifier},  // would pick "WWI Medal of Honor"
        {Surname(), Qt::Key_7, Qt::AltModifier},
    };
    for (const Case& c : cases) {
        c.target->setFocus();
        QTest::keyClick(c.target, c.key, c.modifiers);
        EXPECT_EQ(Surname()->text(), QStringLiteral("Smith")) << "key " << c.key;
        EXPECT_EQ(FirstName()->text(), QStringLiteral("J")) << "key " << c.key;
        EXPECT_EQ(DatabaseList()->currentIndex(), 0) << "key " << c.key;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    // The next Enter searches the name as it was typed.
    QTest::keyClick(Surname(), Qt::Key_Return);
    EXPECT_EQ(View()->RecordCount(), 6);  // John Henry, Joseph, Jo Ann, James, Jonathan, Jacob
    // A letter that is underlined still presses its button.
    QTest::keyClick(FirstName(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(Surname()->text().isEmpty());
}

}  // namespace
}  // namespace ui_test
