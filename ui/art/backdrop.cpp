// The backdrop: parchment ground, the title, the seal, the names of the
// fields beside the controls, the count panel, the column headings and the
// list's paper. The view places its controls and paints its rows on it at
// fixed positions, which are repeated here.

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ui/art/art.h"
#include "ui/art/palette.h"
#include "ui/art/seal.h"

namespace art {

namespace {

constexpr int kWidth = 632;
constexpr int kHeight = 453;

// Draws text with its right edge at right, centred on the line y.
void RightLabel(QPainter& p, const QString& text, int right, int centreY) {
    const QFontMetrics metrics(p.font());
    const int width = metrics.horizontalAdvance(text);
    p.drawText(right - width, centreY + (metrics.ascent() - metrics.descent()) / 2, text);
}

void CentredLabel(QPainter& p, const QString& text, int centreX, int centreY) {
    const QFontMetrics metrics(p.font());
    const int width = metrics.horizontalAdvance(text);
    p.drawText(centreX - width / 2, centreY + (metrics.ascent() - metrics.descent()) / 2, text);
}

// The largest font of family up to maxSize in which text fits width.
QFont FittingFont(const char* family, int maxSize, bool bold, const QString& text, int width) {
    for (int size = maxSize; size > 8; --size) {
        const QFont font = ArtFont(family, size, bold);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) return font;
    }
    return ArtFont(family, 8, bold);
}

void Ground(QPainter& p) {
    QLinearGradient ground(0, 0, 0, kHeight);
    ground.setColorAt(0.0, ParchmentTop());
    ground.setColorAt(1.0, ParchmentBottom());
    p.fillRect(0, 0, kWidth, kHeight, ground);
    // A double rule round the edge.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(DarkRule(), 2));
    p.drawRect(4, 4, kWidth - 9, kHeight - 9);
    p.setPen(QPen(Rule(), 1));
    const OnePixelLines lines(p);
    p.drawRect(8, 8, kWidth - 17, kHeight - 17);
}

void Title(QPainter& p) {
    p.setPen(Ink());
    p.setFont(ArtFont("DejaVu Serif", 32, true));
    CentredLabel(p, QStringLiteral("Chronara"), 392, 34);
    // An ornamental rule with a diamond under the title.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Rule(), 1));
    p.drawLine(QPointF(200, 60.5), QPointF(372, 60.5));
    p.drawLine(QPointF(412, 60.5), QPointF(584, 60.5));
    QPainterPath diamond;
    diamond.moveTo(392, 55);
    diamond.lineTo(398, 60.5);
    diamond.lineTo(392, 66);
    diamond.lineTo(386, 60.5);
    diamond.closeSubpath();
    p.setBrush(Rule());
    p.drawPath(diamond);
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void Emblem(QPainter& p) {
    DrawSeal(p, QPointF(80, 112), 50);
    p.setPen(Ink());
    p.setFont(ArtFont("DejaVu Serif", 14, false, true));
    CentredLabel(p, QStringLiteral("Historical"), 80, 184);
    CentredLabel(p, QStringLiteral("Records"), 80, 202);
}

void FieldLabels(QPainter& p) {
    p.setPen(Ink());
    p.setFont(ArtFont("DejaVu Sans", 13, true));
    RightLabel(p, QStringLiteral("Last Name"), 228, 83);
    RightLabel(p, QStringLiteral("Database"), 228, 112);
    // Between the two edit boxes (397 to 461) there is little room: one
    // line when it fits at a readable size, else two.
    const QString firstName = QStringLiteral("First Name");
    const QFont oneLine = FittingFont("DejaVu Sans", 13, true, firstName, 58);
    if (oneLine.pixelSize() >= 12) {
        p.setFont(oneLine);
        CentredLabel(p, firstName, 429, 83);
    } else {
        p.setFont(ArtFont("DejaVu Sans", 12, true));
        CentredLabel(p, QStringLiteral("First"), 429, 76);
        CentredLabel(p, QStringLiteral("Name"), 429, 90);
    }
}

void CountPanel(QPainter& p) {
    // The count line is drawn from (267,181); the panel leaves a margin round it.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Rule(), 1));
    p.setBrush(PanelPaper());
    p.drawRoundedRect(QRectF(259.5, 176.5, 198, 33), 4, 4);
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Captions under the arrow buttons at (541,179) and (582,179), 19 x 23.
    p.setPen(Ink());
    p.setFont(ArtFont("DejaVu Sans", 10));
    CentredLabel(p, QStringLiteral("Prev"), 550, 210);
    CentredLabel(p, QStringLiteral("Next"), 591, 210);
    p.setFont(ArtFont("DejaVu Sans", 11, true));
    RightLabel(p, QStringLiteral("Pages"), 533, 191);
}

void ListPaper(QPainter& p) {
    p.setPen(Ink());
    p.setFont(ArtFont("DejaVu Sans", 13, true));
    const int headingY = 236;
    p.drawText(20, headingY, QStringLiteral("Last Name"));
    p.drawText(158, headingY, QStringLiteral("Given Names"));
    p.drawText(300, headingY, QStringLiteral("Summary"));
    p.fillRect(20, 241, 582, 2, DarkRule());

    // The paper under the rows: the list area (20,249)-(602,413) with a margin.
    const OnePixelLines lines(p);
    p.setPen(QPen(Rule(), 1));
    p.setBrush(Paper());
    p.drawRect(15, 246, 591, 172);
    p.setBrush(Qt::NoBrush);
    // Faint column guides.
    p.setPen(QPen(QColor(0xe6, 0xdc, 0xc2), 1));
    p.drawLine(149, 247, 149, 417);
    p.drawLine(291, 247, 291, 417);
}

void Footer(QPainter& p) {
    p.setPen(Ink());
    p.setFont(ArtFont("DejaVu Serif", 11, false, true));
    p.drawText(QRect(18, 424, 196, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Click a row to select it"));
    p.drawText(QRect(420, 424, 194, 22), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Double-click for More Info"));
}

}  // namespace

QImage ScaledCanvas(int width, int height, qreal scale, QImage::Format format) {
    QImage image(qRound(width * scale), qRound(height * scale), format);
    image.setDevicePixelRatio(scale);
    return image;
}

QImage DrawBackdrop(qreal scale) {
    QImage image = ScaledCanvas(kWidth, kHeight, scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    Ground(p);
    Title(p);
    Emblem(p);
    FieldLabels(p);
    CountPanel(p);
    ListPaper(p);
    Footer(p);
    p.end();
    return image;
}

}  // namespace art
