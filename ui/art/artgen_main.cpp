// chronara-artgen <folder>: writes the program's pictures as PNG files into
// folder; the build runs it and compiles the files in as resources.

#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include "ui/art/art.h"

namespace {

bool Save(const QImage& image, const QDir& folder, const char* name) {
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (image.save(path, "PNG")) return true;
    std::fprintf(stderr, "chronara-artgen: cannot write %s\n", path.toLocal8Bit().constData());
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: chronara-artgen <output folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "chronara-artgen: cannot make %s\n", argv[1]);
        return 1;
    }
    struct Arrow {
        const char* file;
        bool next;
        art::ArrowState state;
    };
    const Arrow arrows[] = {
        {"prev_up.png", false, art::ArrowState::Up},       {"prev_down.png", false, art::ArrowState::Down},
        {"prev_focus.png", false, art::ArrowState::Focus}, {"prev_dim.png", false, art::ArrowState::Dim},
        {"next_up.png", true, art::ArrowState::Up},        {"next_down.png", true, art::ArrowState::Down},
        {"next_focus.png", true, art::ArrowState::Focus},  {"next_dim.png", true, art::ArrowState::Dim},
    };
    bool ok = Save(art::DrawBackdrop(), folder, "backdrop.png");
    for (const Arrow& arrow : arrows)
        ok = Save(art::DrawArrow(arrow.next, arrow.state), folder, arrow.file) && ok;
    ok = Save(art::DrawIcon(64), folder, "icon.png") && ok;
    return ok ? 0 : 1;
}
