// Help at context 19, a missing help file, and closing the window while a
// command waits in a modal box.

#include <gtest/gtest.h>

#include <cstdio>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>

#include "browse/session/result_pager.h"
#include "platform/message_box.h"
#include "store/data_disk.h"
#include "ui/app/main_frame.h"
#include "ui/common/help_window.h"
#include "ui/common/window_placement.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

// Where the topic's heading stands in the browser's viewport: at the top,
// or lower when the document ends before the topic could reach the top.
void ExpectTopicShown(CHelpWindow& help, int context) {
    QTextBrowser* browser = help.Browser();
    const QTextBlock topic = help.TopicBlock(context);
    ASSERT_TRUE(topic.isValid());
    const int top = browser->cursorRect(QTextCursor(topic)).top();
    EXPECT_GE(top, 0) << "topic " << context << " is above the window";
    EXPECT_LT(top, browser->viewport()->height()) << "topic " << context << " is below the window";
    if (browser->verticalScrollBar()->value() < browser->verticalScrollBar()->maximum()) {
        EXPECT_LE(top, 8) << "topic " << context << " should stand at the top";
    }
}

class HelpAndCloseTest : public ViewerTest {};

TEST_F(HelpAndCloseTest, HelpOpensTheHelpFileAtContext19) {
    StartViewer();
    QTest::mouseClick(Button(kIdHelp), Qt::LeftButton);
    CHelpWindow* help = View()->HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->CurrentContext(), 19);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Chronara Help"));
    const QTextBlock topic = help->TopicBlock(19);
    ASSERT_TRUE(topic.isValid());
    EXPECT_EQ(topic.text(), QStringLiteral("Searching the records"));
}

// A window opened beside the viewer lies whole within the screen's
// available area, at scale 1 (1280x1024 less a panel) and at scale 2 (the
// same screen has half as many logical pixels), wherever the viewer stands.
TEST(WindowPlacementTest, AWindowOpensWholeWithinTheAvailableAreaBesideOrOverItsOwner) {
    const QMargins frame(4, 24, 4, 4);
    const QSize help(560, 520);
    struct Case {
        const char* what;
        QRect available;
        QRect owner;  // the viewer's frame
        bool besideRight, besideLeft;
    };
    const Case cases[] = {
        {"scale 1, viewer at the left", {0, 0, 1280, 994}, {0, 0, 640, 481}, true, false},
        {"scale 1, viewer centred", {0, 0, 1280, 994}, {324, 271, 640, 481}, false, false},
        {"scale 1, viewer at the right", {0, 0, 1280, 994}, {640, 500, 640, 481}, false, true},
        {"scale 1, viewer low on the screen", {0, 30, 1280, 994}, {0, 800, 640, 481}, true, false},
        {"scale 2, viewer fills the width", {0, 0, 640, 497}, {0, 0, 640, 481}, false, false},
        {"scale 2, viewer off the screen's edge", {0, 15, 640, 497}, {300, 200, 640, 481}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QRect client = window_placement::Beside(c.available, c.owner, help, frame);
        const QRect outer = client.marginsAdded(frame);
        EXPECT_TRUE(c.available.contains(outer))
            << outer.x() << "," << outer.y() << " " << outer.width() << "x" << outer.height();
        EXPECT_EQ(client.size(), help.boundedTo(c.available.size().shrunkBy(frame)));
        if (c.besideRight) {
            EXPECT_EQ(outer.left(), c.owner.right() + 1);
        }
        if (c.besideLeft) {
            EXPECT_EQ(outer.right(), c.owner.left() - 1);
        }
        if (!c.besideRight && !c.besideLeft) {
            EXPECT_TRUE(outer.intersects(c.owner));
        }
    }
}

// The help window itself, on the tests' screen (offscreen: 800x600, or at
// QT_SCALE_FACTOR=2 half that in logical pixels, as ui.help_window_at_scale_2
// runs it): whole within the available area, and the size the user gives it
// kept when Help is asked for again.
TEST_F(HelpAndCloseTest, HelpWindowOpensWithinTheScreenAndKeepsTheSizeTheUserGaveIt) {
    StartViewer();
    QTest::mouseClick(Button(kIdHelp), Qt::LeftButton);
    CHelpWindow* help = View()->HelpWindow();
    ASSERT_NE(help, nullptr);
    const QRect available = help->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(help->frameGeometry()))
        << "help at " << help->frameGeometry().x() << "," << help->frameGeometry().y() << " "
        << help->frameGeometry().width() << "x" << help->frameGeometry().height() << " on "
        << available.width() << "x" << available.height();
    const QSize given = help->size() - QSize(40, 30);
    help->resize(given);
    help->close();
    QTest::mouseClick(Button(kIdHelp), Qt::LeftButton);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->size(), given);
}

TEST_F(HelpAndCloseTest, HelpWindowScrollsToTheTopicOfAContextAndFollowsTopicLinks) {
    StartViewer();
    CHelpWindow help(frame_);
    char path[512];
    std::snprintf(path, sizeof path, "%s/tavora7m.hlp", installDir_.c_str());
    ASSERT_TRUE(help.ShowContext(path, 22));
    QApplication::processEvents();
    EXPECT_EQ(help.CurrentContext(), 22);
    EXPECT_EQ(help.TopicBlock(22).text(), QStringLiteral("Paging through the results"));
    ExpectTopicShown(help, 22);
    EXPECT_GT(help.Browser()->verticalScrollBar()->value(), 0);

    // A context the file does not have leaves the window at the top.
    ASSERT_TRUE(help.ShowContext(path, 99));
    EXPECT_EQ(help.CurrentContext(), -1);

    // Every topic link of the file leads to a topic the file has.
    for (int context = 19; context <= 27; ++context) {
        EXPECT_TRUE(help.TopicBlock(context).isValid()) << context;
    }
    EXPECT_FALSE(help.TopicBlock(99).isValid());
    emit help.Browser()->anchorClicked(QUrl(QStringLiteral("#context-21")));
    QApplication::processEvents();
    EXPECT_EQ(help.CurrentContext(), 21);
    ExpectTopicShown(help, 21);
    emit help.Browser()->anchorClicked(QUrl(QStringLiteral("#context-24")));
    QApplication::processEvents();
    EXPECT_EQ(help.CurrentContext(), 24);
    ExpectTopicShown(help, 24);
}

TEST_F(HelpAndCloseTest, MissingHelpFileSaysWhichFileItLookedFor) {
    std::remove((installDir_ + "/tavora7m.hlp").c_str());
    StartViewer();
    testing_support::ScriptedResponder boxes;
    QTest::mouseClick(Button(kIdHelp), Qt::LeftButton);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].text.find(installDir_ + "/tavora7m.hlp"), std::string::npos)
        << boxes.Shown()[0].text;
    EXPECT_EQ(boxes.Shown()[0].caption, "Chronara");
    EXPECT_EQ(boxes.Shown()[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_TRUE(View()->HelpWindow() == nullptr || !View()->HelpWindow()->isVisible());
}

TEST_F(HelpAndCloseTest, ClosingTheWindowWhileASearchWaitsForTheDiskEndsTheSearchSafely) {
    StartViewer();
    Search("lee");
    RemoveMarker();
    QPointer<CChronaraView> view = View();
    int boxesSeen = 0;
    // The real prompt is up; the window is closed from inside its event loop.
    ModalWatcher closeWhilePrompting([&](QWidget* modal) {
        ++boxesSeen;
        EXPECT_NE(qobject_cast<QMessageBox*>(modal), nullptr);
        EXPECT_TRUE(view->IsBusy());
        frame_->close();
        EXPECT_FALSE(frame_->isVisible());
        EXPECT_FALSE(modal->isVisible()) << "closing dismisses the prompt the search waits in";
        EXPECT_TRUE(view->IsViewDestroyed()) << "the search must not touch the view any more";
    });
    Search("smith");
    EXPECT_EQ(boxesSeen, 1) << "closing dismissed the prompt; no second prompt followed";
    ASSERT_FALSE(view.isNull()) << "the view outlives the handler that waited";
    EXPECT_EQ(QString::fromLatin1(view->RowText(0).c_str()).left(4), QStringLiteral("LEE\t"))
        << "the rows were not formatted after the close";
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(view.isNull()) << "then it is destroyed";
    EXPECT_EQ(frame_->View(), nullptr);
}

TEST_F(HelpAndCloseTest, ClosingTheWindowWhileMoreInfoIsOpenClosesTheDialogFirst) {
    StartViewer();
    Search("lee");
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 250));
    QPointer<CChronaraView> view = View();
    ModalWatcher closeWhileOpen([&](QWidget* modal) {
        EXPECT_NE(qobject_cast<CMoreInfoDlg*>(modal), nullptr);
        frame_->close();
        EXPECT_FALSE(modal->isVisible());
    });
    QTest::mouseClick(Button(kIdMoreInfo), Qt::LeftButton);
    EXPECT_TRUE(closeWhileOpen.Fired());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(view.isNull());
    EXPECT_FALSE(frame_->isVisible());
}

}  // namespace
}  // namespace ui_test
