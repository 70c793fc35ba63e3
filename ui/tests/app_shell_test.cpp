// Start-up and shut-down: the single-instance guard (in this process and
// with the real program), a missing backdrop, the message-box service and
// closing the window.

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QLockFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "platform/message_box.h"
#include "ui/app/main_frame.h"
#include "ui/app/single_instance.h"
#include "ui/app/view_app.h"
#include "ui/common/help_window.h"
#include "ui/common/resource_names.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {
namespace {

constexpr char kGuardName[] = "PreventAnotherChronara";

class AppShellTest : public ViewerTest {
protected:
    QString RuntimeDir() const { return QString::fromStdString(runtimeDir_); }

    // Starts the real program on this test's configuration.
    void StartProgram(QProcess& process) {
        process.setProgram(QStringLiteral(CHRONARA_VIEWER_PATH));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The offscreen platform's notes about raise() and the like are noise here.
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("default.warning=false"));
        process.setProcessEnvironment(env);
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }

    // Waits until the program with this process id holds the guard's lock.
    bool WaitForLockHeldBy(qint64 pid) {
        QLockFile probe(RuntimeDir() + QLatin1Char('/') + QLatin1String(kGuardName) + QLatin1String(".lock"));
        for (int i = 0; i < 500; ++i) {
            qint64 holder = 0;
            QString host;
            QString app;
            if (probe.getLockInfo(&holder, &host, &app) && holder == pid &&
                QFile::exists(RuntimeDir() + QLatin1Char('/') + QLatin1String(kGuardName))) {
                return true;
            }
            QTest::qWait(20);
        }
        return false;
    }
};

TEST_F(AppShellTest, SecondGuardFindsTheFirstAndAsksItToComeToTheFront) {
    CSingleInstance first(QLatin1String(kGuardName), RuntimeDir());
    ASSERT_EQ(first.Acquire(), CSingleInstance::Outcome::First);
    QSignalSpy activated(&first, &CSingleInstance::activateRequested);

    CSingleInstance second(QLatin1String(kGuardName), RuntimeDir());
    EXPECT_EQ(second.Acquire(), CSingleInstance::Outcome::Another);
    EXPECT_TRUE(activated.wait(5000));
}

TEST_F(AppShellTest, SecondStartOfTheProgramEndsWithStatusZeroAndTheFirstGoesOn) {
    QProcess first;
    StartProgram(first);
    ASSERT_TRUE(WaitForLockHeldBy(first.processId()));

    QProcess second;
    StartProgram(second);
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    // The guard of a program that crashed does not block the next start.
    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(20000));
    QProcess third;
    StartProgram(third);
    EXPECT_TRUE(WaitForLockHeldBy(third.processId()));
    EXPECT_EQ(third.state(), QProcess::Running);
    third.terminate();
    third.waitForFinished(20000);
}

TEST_F(AppShellTest, SecondInstanceInThisProcessShowsNothingAndRaisesTheFirst) {
    StartViewer();
    CViewApp second;
    EXPECT_FALSE(second.InitInstance());
    EXPECT_EQ(second.MainFrame(), nullptr);
    EXPECT_EQ(second.ExitInstance(), 0);
    // The running viewer gets the request from its event loop.
    frame_->showMinimized();
    QApplication::processEvents();
    CViewApp third;
    EXPECT_FALSE(third.InitInstance());
    for (int i = 0; i < 250 && frame_->isMinimized(); ++i) QTest::qWait(20);
    EXPECT_FALSE(frame_->isMinimized()) << "the running viewer is restored";
    EXPECT_TRUE(frame_->isVisible());
}

TEST_F(AppShellTest, MissingBackdropSaysSoWithoutCaptionAndEndsStartUp) {
    CViewApp app;
    testing_support::ScriptedResponder boxes;
    // Take the compiled-in pictures away for this start only.
    while (QFile::exists(QLatin1String(resources::kBackdrop))) CleanupChronaraResources();
    const bool started = app.InitInstance();
    InitChronaraResources();
    EXPECT_FALSE(started);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Couldn't load background");
    EXPECT_EQ(boxes.Shown()[0].caption, "<none>");
    EXPECT_EQ(boxes.Shown()[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(boxes.Shown()[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(app.MainFrame(), nullptr);
    EXPECT_EQ(app.Document(), nullptr);
    EXPECT_EQ(app.ExitInstance(), 0);
}

TEST_F(AppShellTest, MessageBoxesAreModalQtBoxesOwnedByTheMainWindow) {
    StartViewer();
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
    QMessageBox::StandardButtons buttons;
    ModalWatcher first([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        icon = box->icon();
        parent = box->parentWidget();
        buttons = box->standardButtons();
        EXPECT_EQ(box->text(), QStringLiteral("Please insert the disk"));
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(
        platform::ShowMessageBox("Please insert the disk", platform::kAppTitle,
                                 platform::MessageButtons::OkCancel, platform::MessageIcon::Exclamation),
        platform::MessageAnswer::Cancel);
    EXPECT_EQ(title, QStringLiteral("Chronara"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(parent, frame_);
    EXPECT_EQ(buttons, QMessageBox::Ok | QMessageBox::Cancel);

    ModalWatcher second([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(platform::ShowMessageBox("caf\xe9", nullptr, platform::MessageButtons::Ok,
                                       platform::MessageIcon::Information),
              platform::MessageAnswer::Ok);
    EXPECT_TRUE(title.isEmpty()) << "no caption asked for";
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(buttons, QMessageBox::Ok);

    // Esc on an OK/Cancel box is Cancel; Enter is OK.
    ModalWatcher escape([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(platform::ShowMessageBox("x", platform::kAppTitle, platform::MessageButtons::OkCancel,
                                       platform::MessageIcon::Exclamation),
              platform::MessageAnswer::Cancel);
    ModalWatcher enter([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
    EXPECT_EQ(platform::ShowMessageBox("x", platform::kAppTitle, platform::MessageButtons::OkCancel,
                                       platform::MessageIcon::Exclamation),
              platform::MessageAnswer::Ok);
}

TEST_F(AppShellTest, QuitClosesTheWindowThroughTheNormalCloseAndTakesHelpAlong) {
    StartViewer();
    QTest::mouseClick(qobject_cast<QPushButton*>(View()->GetDlgItem(view_layout::kIdHelp)), Qt::LeftButton);
    QPointer<CHelpWindow> help = View()->HelpWindow();
    ASSERT_FALSE(help.isNull());
    ASSERT_TRUE(help->isVisible());
    QPointer<CChronaraView> view = View();

    QTest::mouseClick(qobject_cast<QPushButton*>(View()->GetDlgItem(view_layout::kIdQuit)), Qt::LeftButton);
    EXPECT_TRUE(frame_->isVisible()) << "Quit posts the close; nothing happens before the event loop runs";
    QApplication::processEvents();
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_TRUE(view.isNull()) << "the view is destroyed with the window";
    EXPECT_TRUE(help.isNull()) << "the help window goes with the view";
    EXPECT_EQ(app_->ExitInstance(), 0);
}

}  // namespace
}  // namespace ui_test

namespace ui_test {
namespace {

TEST_F(AppShellTest, TheSecondStartsActivationTokenTravelsWithTheRequest) {
    struct Case {
        const char* token;     // XDG_ACTIVATION_TOKEN of the second start; null: unset
        const char* received;  // what the first gets
    };
    const std::vector<Case> cases = {
        {nullptr, ""},
        {"a1b2c3-weston_42.x", "a1b2c3-weston_42.x"},
        {"two words", ""},  // not a token as compositors make them
        {"line\nfeed", ""},
    };
    CSingleInstance first(QLatin1String(kGuardName), RuntimeDir());
    ASSERT_EQ(first.Acquire(), CSingleInstance::Outcome::First);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.received);
        testing_support::ScopedEnv token("XDG_ACTIVATION_TOKEN", c.token);
        QSignalSpy activated(&first, &CSingleInstance::activateRequested);
        CSingleInstance second(QLatin1String(kGuardName), RuntimeDir());
        EXPECT_EQ(second.Acquire(), CSingleInstance::Outcome::Another);
        ASSERT_TRUE(activated.wait(5000));
        EXPECT_EQ(activated.at(0).at(0).toString(), QLatin1String(c.received));
    }
    EXPECT_EQ(CSingleInstance::CheckedToken(QByteArray(300, 'x')), QByteArray()) << "too long";
}

}  // namespace
}  // namespace ui_test
