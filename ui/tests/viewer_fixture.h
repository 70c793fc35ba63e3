#pragma once
// A viewer started on a small data disk written by the core's database
// writer, in private configuration and runtime folders, on the offscreen
// platform with the tests' fixed font.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include <QImage>
#include <QPointer>
#include <QRect>

#include "support/test_support.h"

class CChronaraView;
class CMainFrame;
class CViewApp;
class QLineEdit;
class QPushButton;
class QComboBox;
class CBitmapButton;

namespace ui_test {

// The people of the test disk, database code 1 (combo row 0).
inline constexpr int kSmithCount = 23;
inline constexpr const char kLongSurname[] = "Fortescue-Whitfield";  // 19 characters

// Writes the test disk into dataDir (marker included).
void WriteTestDisk(const std::string& dataDir);

// Runs fn as soon as the next modal window is up (inside its event loop).
void WhenModalShows(std::function<void(QWidget*)> fn);

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
    testing_support::ScopedEnv configHome_;
    testing_support::ScopedEnv configDirs_;
    testing_support::ScopedEnv runtimeHome_;
    std::unique_ptr<CViewApp> app_;
    CMainFrame* frame_ = nullptr;
};

}  // namespace ui_test
