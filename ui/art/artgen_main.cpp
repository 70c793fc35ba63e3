// chronara-artgen <folder> <font file>...: writes the program's pictures as
// PNG files into folder; the build runs it and compiles the files in as
// resources. The backdrop and the arrows are drawn at 1x (name.png) and for
// high-DPI screens at 1.5x, 2x and 3x (name@1.5x.png, name@2x.png,
// name@3x.png); every 1x picture, the icon's too, also in indexed bands
// (name.bands, ui/pictures/indexed_bands.h), the form the viewer reads it in.
//
// The lettering uses the font files named on the command line and nothing
// else: the build runs this program with a font configuration that lists
// no font folder (ui/art/fonts.conf), so whatever fonts the machine has
// installed cannot change a picture.

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include "ui/art/art.h"
#include "ui/art/palette.h"
#include "ui/pictures/indexed_bands.h"

namespace {

// The scales drawn besides 1x, with the suffix of their file names; the
// viewer picks the one for the screen (ui/pictures/scaled_picture.h).
struct Scale {
    qreal factor;
    const char* suffix;
};
constexpr Scale kScales[] = {{1.0, ""}, {1.5, "@1.5x"}, {2.0, "@2x"}, {3.0, "@3x"}};

bool Save(const QImage& image, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (image.save(path, "PNG")) return true;
    std::fprintf(stderr, "chronara-artgen: cannot write %s\n", path.toLocal8Bit().constData());
    return false;
}

// Every face the drawings ask for must come from the files given: a face
// the font database would have to make up (an italic slanted by the
// painter, a bold smeared) is refused.
bool LoadFonts(int count, char* files[]) {
    for (int i = 0; i < count; ++i) {
        if (QFontDatabase::addApplicationFont(QString::fromLocal8Bit(files[i])) < 0) {
            std::fprintf(stderr, "chronara-artgen: cannot load the font file %s\n", files[i]);
            return false;
        }
    }
    for (const art::Face& face : art::kFaces) {
        const QString family = QString::fromLatin1(face.family);
        if (!QFontDatabase::styles(family).contains(QString::fromLatin1(face.style))) {
            std::fprintf(stderr, "chronara-artgen: no font file given holds %s %s\n", face.family,
                         face.style);
            return false;
        }
    }
    return true;
}

bool SaveBands(const QImage& image, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    const QByteArray bands = CIndexedBands::Encode(image);
    if (bands.isEmpty()) {
        std::fprintf(stderr, "chronara-artgen: %s has a row of more than 256 colours\n",
                     path.toLocal8Bit().constData());
        return false;
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bands) == bands.size() && file.flush()) return true;
    std::fprintf(stderr, "chronara-artgen: cannot write %s\n", path.toLocal8Bit().constData());
    return false;
}

// name + suffix as a PNG, and a 1x picture also as name.bands.
bool SavePicture(const QImage& image, const QDir& folder, const QString& name, const QString& suffix,
                 bool base) {
    const bool saved = Save(image, folder, name + suffix);
    return (!base || SaveBands(image, folder, name + QStringLiteral(".bands"))) && saved;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: chronara-artgen <output folder> <font file>...\n");
        return 2;
    }
    if (!LoadFonts(argc - 2, argv + 2)) return 1;
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
        {"prev_up", false, art::ArrowState::Up},       {"prev_down", false, art::ArrowState::Down},
        {"prev_focus", false, art::ArrowState::Focus}, {"prev_dim", false, art::ArrowState::Dim},
        {"next_up", true, art::ArrowState::Up},        {"next_down", true, art::ArrowState::Down},
        {"next_focus", true, art::ArrowState::Focus},  {"next_dim", true, art::ArrowState::Dim},
    };
    bool ok = true;
    for (const Scale& scale : kScales) {
        const QString suffix = QString::fromLatin1(scale.suffix) + QStringLiteral(".png");
        const bool base = scale.suffix[0] == '\0';
        ok = SavePicture(art::DrawBackdrop(scale.factor), folder, QStringLiteral("backdrop"), suffix, base) &&
             ok;
        for (const Arrow& arrow : arrows) {
            ok = SavePicture(art::DrawArrow(arrow.next, arrow.state, scale.factor), folder,
                             QString::fromLatin1(arrow.file), suffix, base) &&
                 ok;
        }
    }
    ok = SavePicture(art::DrawIcon(64), folder, QStringLiteral("icon"), QStringLiteral(".png"), true) && ok;
    return ok ? 0 : 1;
}
