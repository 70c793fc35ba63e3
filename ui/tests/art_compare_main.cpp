// chronara-artcompare <reference folder> <drawn folder>: compares every PNG
// picture of the reference folder with the picture of the same name that
// the build drew, pixel by pixel, and says which differ and where.
//
// Both are decoded and compared premultiplied (a fully transparent pixel
// has no colour to compare); each of a pixel's four channels may differ by
// at most kTolerance of 255. That admits the last-bit rounding of the
// raster engine on another processor and nothing an eye could see: a pixel
// of another colour, or a drawing moved by one pixel, fails.

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <QStringList>

namespace {

constexpr int kTolerance = 2;

int ChannelDistance(QRgb a, QRgb b) {
    const int channels[4][2] = {
        {qRed(a), qRed(b)}, {qGreen(a), qGreen(b)}, {qBlue(a), qBlue(b)}, {qAlpha(a), qAlpha(b)}};
    int widest = 0;
    for (const auto& pair : channels) widest = std::max(widest, std::abs(pair[0] - pair[1]));
    return widest;
}

// Empty when drawn matches reference; else what is wrong.
QString Compare(const QString& referencePath, const QString& drawnPath) {
    QImage reference(referencePath);
    QImage drawn(drawnPath);
    if (reference.isNull()) return QStringLiteral("the reference cannot be read");
    if (drawn.isNull()) return QStringLiteral("the drawn picture cannot be read");
    if (reference.size() != drawn.size()) {
        return QStringLiteral("drawn %1x%2, the reference is %3x%4")
            .arg(drawn.width())
            .arg(drawn.height())
            .arg(reference.width())
            .arg(reference.height());
    }
    reference = reference.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    drawn = drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    long differing = 0;
    QString first;
    for (int y = 0; y < reference.height(); ++y) {
        const auto* want = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
        const auto* got = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        for (int x = 0; x < reference.width(); ++x) {
            if (ChannelDistance(want[x], got[x]) <= kTolerance) continue;
            if (differing++ == 0) {
                first = QStringLiteral("(%1,%2) is #%3, the reference #%4")
                            .arg(x)
                            .arg(y)
                            .arg(got[x], 8, 16, QLatin1Char('0'))
                            .arg(want[x], 8, 16, QLatin1Char('0'));
            }
        }
    }
    if (differing == 0) return QString();
    return QStringLiteral("%1 pixels differ by more than %2, the first at %3")
        .arg(differing)
        .arg(kTolerance)
        .arg(first);
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: chronara-artcompare <reference folder> <drawn folder>\n");
        return 2;
    }
    const QDir references(QString::fromLocal8Bit(argv[1]));
    const QDir drawn(QString::fromLocal8Bit(argv[2]));
    const QStringList names = references.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        std::fprintf(stderr, "chronara-artcompare: no reference pictures in %s\n", argv[1]);
        return 2;
    }
    int failed = 0;
    for (const QString& name : names) {
        const QString problem = Compare(references.filePath(name), drawn.filePath(name));
        if (problem.isEmpty()) continue;
        ++failed;
        std::printf("%s: %s\n", qPrintable(name), qPrintable(problem));
    }
    std::printf("%d of %d pictures match their references\n", static_cast<int>(names.size()) - failed,
                static_cast<int>(names.size()));
    return failed == 0 ? 0 : 1;
}
