#include "ui/tests/viewer_fixture.h"

#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "store/data_disk.h"
#include "store/database_writer.h"
#include "ui/app/main_frame.h"
#include "ui/app/view_app.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_doc.h"
#include "ui/search_view/view_layout.h"

namespace ui_test {

namespace {

std::string MakeDir(const std::string& path) {
    ::mkdir(path.c_str(), 0700);
    return path;
}

PersonRecord Person(const std::string& surname, const std::string& given, const std::string& born,
                    const std::string& service) {
    return PersonRecord{surname, given, {born, "1890", "Farmer", service, "Retired"}};
}

}  // namespace

void WriteTestDisk(const std::string& dataDir) {
    CDatabaseWriter writer(1);
    std::string error;
    static const char* const kSmithNames[kSmithCount] = {
        "John Henry", "Joseph",  "Jo Ann", "Mary",   "William", "James",  "Jonathan", "Robert",
        "Thomas",     "Charles", "Edward", "George", "Henry",   "Isaac",  "Jacob",    "Kirby",
        "Lucius",     "Martin",  "Nathan", "Oliver", "Peter",   "Quincy", "Samuel"};
    for (int i = 0; i < kSmithCount; ++i) {
        char born[32];
        std::snprintf(born, sizeof born, "Jan. %d, 18%02d", i + 1, 10 + i);
        ASSERT_TRUE(writer.Add(Person("Smith", kSmithNames[i], born, "Colonel"), &error)) << error;
    }
    ASSERT_TRUE(writer.Add(Person("Lee", "Robert Edward", "Jan. 19, 1807", "General"), &error)) << error;
    // A person without given names: the row text has two tabs in a row.
    ASSERT_TRUE(writer.Add(Person("Lee", "", "Unknown", "Captain"), &error)) << error;
    ASSERT_TRUE(writer.Add(Person("Lee", "Fitzhugh", "Nov. 19, 1835", "Major General"), &error)) << error;
    ASSERT_TRUE(writer.Add(Person(kLongSurname, "Arthur", "May 2, 1830", "Major"), &error)) << error;
    ASSERT_TRUE(writer.Write(dataDir, 0, &error)) << error;
    testing_support::WriteFileBytes(dataDir + "/" + kMarkerFileName, "Chronara data disk\n");
}

ModalWatcher::ModalWatcher(std::function<void(QWidget*)> fn) : timer_(std::make_unique<QTimer>()) {
    timer_->setInterval(0);
    QObject::connect(timer_.get(), &QTimer::timeout, [this, fn]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        timer_->stop();
        fired_ = true;
        fn(modal);
        // Whatever fn did (a failed assertion returns early), the window
        // goes, so that the test's modal loop ends.
        QPointer<QWidget> left(modal);
        QTimer::singleShot(0, [left]() {
            auto* dialog = qobject_cast<QDialog*>(left.data());
            if (dialog != nullptr && dialog->isVisible()) dialog->reject();
        });
    });
    timer_->start();
}

ModalWatcher::~ModalWatcher() = default;

ViewerTest::ViewerTest()
    : dataDir_(MakeDir(root_.File("disk"))),
      installDir_(MakeDir(root_.File("install"))),
      configDir_(MakeDir(root_.File("config"))),
      runtimeDir_(MakeDir(root_.File("run"))),
      userDataDir_(MakeDir(root_.File("user-data"))),
      configHome_("XDG_CONFIG_HOME", configDir_.c_str()),
      configDirs_("XDG_CONFIG_DIRS", root_.File("no-system-config").c_str()),
      runtimeHome_("XDG_RUNTIME_DIR", runtimeDir_.c_str()),
      dataHome_("XDG_DATA_HOME", userDataDir_.c_str()) {
    WriteTestDisk(dataDir_);
    testing_support::WriteFileBytes(configDir_ + "/corvane.ini", "[Tavora7m]\nTavoraDir=" + installDir_ +
                                                                     "\nChronaraPath=" + dataDir_ + "\n");
    testing_support::WriteFileBytes(
        installDir_ + "/tavora7m.hlp",
        testing_support::ReadFileBytes(std::string(CHRONARA_SOURCE_DIR) + "/res/tavora7m.hlp"));
}

ViewerTest::~ViewerTest() { StopViewer(); }

void ViewerTest::StartViewer() {
    app_ = std::make_unique<CViewApp>();
    ASSERT_TRUE(app_->InitInstance());
    frame_ = app_->MainFrame();
    ASSERT_NE(frame_, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_));
    QApplication::processEvents();
}

void ViewerTest::StopViewer() {
    if (app_ == nullptr) return;
    app_->ExitInstance();
    app_.reset();
    frame_ = nullptr;
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

QImage ViewerTest::Screen() {
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    // The frame's own backing store, as last flushed: what the user sees.
    const QPoint origin = View()->mapTo(frame_, QPoint(0, 0));
    return frame_->screen()
        ->grabWindow(frame_->winId(), origin.x(), origin.y(), view_layout::kViewWidth,
                     view_layout::kViewHeight)
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

QImage ViewerTest::Backdrop() const {
    return app_->Document()->Backdrop()->toImage().convertToFormat(QImage::Format_RGB32);
}

QImage ViewerTest::ExpectedText(const QRect& area, const QString& text) const {
    QImage image = Backdrop().copy(area);
    QPainter painter(&image);
    painter.setFont(View()->font());
    painter.setPen(QColor(view_layout::kTextRed, view_layout::kTextGreen, view_layout::kTextBlue));
    painter.drawText(QRect(QPoint(0, 0), area.size()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     text);
    painter.end();
    return image;
}

void ViewerTest::Search(const char* surname, const char* firstName) {
    Surname()->setText(QString::fromLatin1(surname));
    FirstName()->setText(QString::fromLatin1(firstName));
    QTest::mouseClick(Button(view_layout::kIdSearch), Qt::LeftButton);
    QApplication::processEvents();
}

void ViewerTest::WindowActivatedAgain() {
    QEvent change(QEvent::ActivationChange);
    QApplication::sendEvent(frame_, &change);
    QApplication::processEvents();
}

void ViewerTest::RemoveMarker() { std::remove((dataDir_ + "/" + kMarkerFileName).c_str()); }

void ViewerTest::RestoreMarker() {
    testing_support::WriteFileBytes(dataDir_ + "/" + kMarkerFileName, "Chronara data disk\n");
}

CChronaraView* ViewerTest::View() const { return frame_ != nullptr ? frame_->View() : nullptr; }

QLineEdit* ViewerTest::Surname() const {
    return qobject_cast<QLineEdit*>(View()->GetDlgItem(view_layout::kIdSurname));
}

QLineEdit* ViewerTest::FirstName() const {
    return qobject_cast<QLineEdit*>(View()->GetDlgItem(view_layout::kIdFirstName));
}

QPushButton* ViewerTest::Button(int id) const { return qobject_cast<QPushButton*>(View()->GetDlgItem(id)); }

CBitmapButton* ViewerTest::Arrow(int id) const {
    return qobject_cast<CBitmapButton*>(View()->GetDlgItem(id));
}

QComboBox* ViewerTest::DatabaseList() const { return View()->DatabaseList(); }

int ViewerTest::TextHeight() const { return QFontMetrics(View()->font()).height(); }

}  // namespace ui_test
