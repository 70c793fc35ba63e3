// The viewer's entry point.

#include <cstdio>
#include <cstring>

#include <QApplication>

#include "chronara_version.h"
#include "ui/app/view_app.h"
#include "ui/common/resource_names.h"

namespace {

constexpr const char kUsage[] =
    "Usage: chronara [--setup-only] [Qt options]\n"
    "       chronara --help | -h | --version\n"
    "\n"
    "Starts the Chronara viewer: pick a database, type a surname and perhaps\n"
    "the first letters of a given name, page through the people found and open\n"
    "any person's full record with More Info.\n"
    "\n"
    "Options:\n"
    "  --setup-only   write corvane.ini for a new user and exit, without\n"
    "                 starting the viewer (done by the launcher bin/chronara,\n"
    "                 which also does it before every start)\n"
    "  -h, --help     show this text and exit\n"
    "  --version      show the program's name and version and exit\n"
    "Qt's own options, such as -platform NAME, are handed to Qt.\n"
    "\n"
    "The viewer reads two folders from corvane.ini, section Tavora7m, found in\n"
    "$XDG_CONFIG_HOME (default ~/.config), else in a folder of $XDG_CONFIG_DIRS\n"
    "(default /etc/xdg): ChronaraPath, the data disk, and TavoraDir, the folder\n"
    "of its scratch file history.buf and of the help file (missing or empty:\n"
    "$XDG_DATA_HOME/chronara/, default ~/.local/share/chronara/). One viewer\n"
    "runs at a time: starting another brings the first window to the front.\n"
    "See chronara(1).\n";

enum class Answer { None, Help, Version };

// --help, -h and --version are answered before Qt starts, so they need no
// display and leave no trace; the first one given counts.
Answer CommandLineAnswer(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return Answer::Help;
        if (std::strcmp(argv[i], "--version") == 0) return Answer::Version;
    }
    return Answer::None;
}

}  // namespace

int main(int argc, char* argv[]) {
    switch (CommandLineAnswer(argc, argv)) {
        case Answer::Help:
            std::fputs(kUsage, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        case Answer::Version:
            std::printf("chronara %s\n", kChronaraVersion);
            return std::fflush(stdout) == 0 ? 0 : 1;
        case Answer::None:
            break;
    }
    QApplication application(argc, argv);
    InitChronaraResources();
    CViewApp app;
    if (app.InitInstance()) QApplication::exec();
    return app.ExitInstance();
}
