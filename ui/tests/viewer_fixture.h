#pragma once
// A viewer started on a small data disk written by the core's database
// writer, in private configuration and runtime folders, on the offscreen
// platform with the tests' fixed font.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>

#include "support/test_support.h"

class CChronaraView;
class CMainFrame;
class CViewApp;
class QLineEdit;
class QPushButton;
class QComboBox;
class QTimer;
class CBitmapButton;

// Readable failure messages for Qt values.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QImage& image, std::ostream* out) {
    *out << "image " << image.width() << "x" << image.height();
}

namespace ui_test {

// The people of the test disk, database code 1 (combo row 0).
inline constexpr int kSmithCount = 23;
inline constexpr const char kLongSurname[] = "Fortescue-Whitfield";  // 19 characters

// Writes the test disk into dataDir (marker included).
void WriteTestDisk(const std::string& dataDir);

// Runs fn once, as soon as a modal window is up (from inside its event
// loop), for as long as the watcher lives; then dismisses the window if fn
// left it open.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QWidget*)> fn);
    ~ModalWatcher();
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;
    bool Fired() const { return fired_; }

private:
    std::unique_ptr<QTimer> timer_;
    bool fired_ = false;
};

class ViewerTest : public ::testing::Test {
protected:
    ViewerTest();
    ~ViewerTest() override;

    // Starts the viewer; fails the test when it does not start.
    void StartViewer();
    void StopViewer();

    // What the window shows now (the backing store, not a fresh paint).
    QImage Screen();
    // The backdrop as an image.
    QImage Backdrop() const;
    // The backdrop's pixels of area with text drawn as the list draws it.
    QImage ExpectedText(const QRect& area, const QString& text) const;
    QImage Crop(const QImage& image, const QRect& area) const { return image.copy(area); }

    void Search(const char* surname, const char* firstName = "");
    // The moment the window becomes the active one again (back from a
    // dialog or another window, restored), when the view's focus rule applies.
    void WindowActivatedAgain();
    void RemoveMarker();
    void RestoreMarker();

    CChronaraView* View() const;
    QLineEdit* Surname() const;
    QLineEdit* FirstName() const;
    QPushButton* Button(int id) const;
    CBitmapButton* Arrow(int id) const;
    QComboBox* DatabaseList() const;
    int TextHeight() const;

    testing_support::TempDir root_;
    std::string dataDir_;
    std::string installDir_;
    std::string configDir_;
    std::string runtimeDir_;
    // The user's data folder, where the research log is kept.
    std::string userDataDir_;
    testing_support::ScopedEnv configHome_;
    testing_support::ScopedEnv configDirs_;
    testing_support::ScopedEnv runtimeHome_;
    testing_support::ScopedEnv dataHome_;
    std::unique_ptr<CViewApp> app_;
    CMainFrame* frame_ = nullptr;
};

}  // namespace ui_test
