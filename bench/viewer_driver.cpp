// A stand-in user for measuring the viewer: loaded into the unchanged
// `chronara` program with LD_PRELOAD, it waits until the event loop runs,
// types a surname (and a first name) into the view's edit boxes, picks a
// row of the database list, presses Search as a click would, lets the list
// paint, and presses Quit. Without CHRONARA_DRIVE_SURNAME it does nothing.
//
//   CHRONARA_DRIVE_SURNAME     surname to search; empty: quit without a search
//   CHRONARA_DRIVE_FIRST_NAME  first name (optional)
//   CHRONARA_DRIVE_ROW         row of the database list (default 12)
//
// It checks that the search really opened the database (the record
// database keeps the .ext file open afterwards) and prints the process's
// memory high-water mark; any failure ends the process with status 3.

#include <dirent.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

constexpr int kPaintMilliseconds = 300;

[[noreturn]] void Give(const char* why) {
    std::fprintf(stderr, "viewer driver: %s\n", why);
    std::fflush(stderr);
    std::_Exit(3);
}

template <typename Widget>
Widget* Find(const char* objectName, const char* text) {
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* typed = qobject_cast<Widget*>(widget);
        if (typed == nullptr) continue;
        if (objectName != nullptr && widget->objectName() == QLatin1String(objectName)) return typed;
        if (text != nullptr) {
            auto* button = qobject_cast<QAbstractButton*>(widget);
            if (button != nullptr && button->text() == QLatin1String(text)) return typed;
        }
    }
    return nullptr;
}

// True when the process has a file open whose path ends with suffix.
bool HasOpenFile(const char* suffix) {
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) return false;
    bool found = false;
    char target[4096];
    while (dirent* entry = readdir(dir)) {
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = '\0';
        const std::size_t length = std::strlen(suffix);
        if (static_cast<std::size_t>(n) >= length && std::strcmp(target + n - length, suffix) == 0)
            found = true;
    }
    closedir(dir);
    return found;
}

void PrintMemory(const char* when) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0 || line.rfind("VmRSS:", 0) == 0) {
            std::fprintf(stderr, "viewer driver: %s: %s\n", when, line.c_str());
        }
    }
}

void PressQuit() {
    QPushButton* quit = Find<QPushButton>(nullptr, "&Quit");
    if (quit == nullptr) Give("no Quit button");
    quit->click();
}

void Drive() {
    const char* surname = std::getenv("CHRONARA_DRIVE_SURNAME");
    const char* firstName = std::getenv("CHRONARA_DRIVE_FIRST_NAME");
    const char* row = std::getenv("CHRONARA_DRIVE_ROW");
    if (surname == nullptr) return;
    PrintMemory("started");
    if (*surname == '\0') {
        QTimer::singleShot(kPaintMilliseconds, PressQuit);
        return;
    }
    auto* surnameEdit = Find<QLineEdit>("Surname", nullptr);
    auto* firstNameEdit = Find<QLineEdit>("FirstName", nullptr);
    auto* list = Find<QComboBox>("DatabaseList", nullptr);
    QPushButton* search = Find<QPushButton>(nullptr, "&Search");
    if (surnameEdit == nullptr || firstNameEdit == nullptr || list == nullptr || search == nullptr) {
        Give("the search view's controls were not found");
    }
    surnameEdit->setText(QString::fromLatin1(surname));
    firstNameEdit->setText(QString::fromLatin1(firstName != nullptr ? firstName : ""));
    list->setCurrentIndex(row != nullptr ? std::atoi(row) : 12);
    search->click();  // the search runs inside the click, as with the mouse
    if (!HasOpenFile(".ext")) Give("the search did not open the database");
    std::fprintf(stderr, "viewer driver: searched\n");
    QTimer::singleShot(kPaintMilliseconds, [] {
        PrintMemory("after the search");
        PressQuit();
    });
}

void Install() {
    if (std::getenv("CHRONARA_DRIVE_SURNAME") == nullptr) return;
    // The first timer fires once the event loop runs, after the window exists.
    QTimer::singleShot(0, Drive);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Install)
