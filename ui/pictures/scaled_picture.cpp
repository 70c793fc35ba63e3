#include "ui/pictures/scaled_picture.h"

#include <cmath>
#include <iterator>

#include <QImage>
#include <QImageReader>
#include <QPaintEngine>
#include <QPainter>
#include <QResource>

namespace {

struct Variant {
    qreal ratio;
    const char* suffix;
};
// As chronara-artgen draws them, smallest first.
constexpr Variant kVariants[] = {{1.5, "@1.5x"}, {2.0, "@2x"}, {3.0, "@3x"}};

bool Near(qreal a, qreal b) { return std::abs(a - b) < 0.01; }

// Every picture of the program is a PNG, read as one: a reader left to
// guess (the names carry no suffix) loads every format plug-in to ask it.
void ReadAsPng(QImageReader& reader) {
    reader.setFormat("png");
    reader.setAutoDetectImageFormat(false);
}

}  // namespace

bool CScaledPicture::Load(const char* name) {
    name_ = QString::fromLatin1(name);
    base_ = QPixmap();
    scaled_ = QPixmap();
    scaledRatio_ = 0;
    bands_ = CIndexedBands();
    // Bands are painted where they are stored: a resource kept uncompressed
    // is not copied (its lines must be 32-bit aligned, as QImage wants them).
    const QResource resource(name_);
    if (resource.isValid() && resource.size() > 0) {
        const auto* stored = reinterpret_cast<const char*>(resource.data());
        const bool inPlace = resource.compressionAlgorithm() == QResource::NoCompression &&
                             reinterpret_cast<quintptr>(stored) % 4 == 0;
        const QByteArray data =
            inPlace ? QByteArray::fromRawData(stored, resource.size()) : resource.uncompressedData();
        if (CIndexedBands::LooksLike(data)) {
            size_ = bands_.Load(data) ? bands_.Size() : QSize();
            return !IsNull();
        }
    }
    // A PNG: its header alone; the pixels are decoded when first painted.
    QImageReader reader(name_);
    ReadAsPng(reader);
    size_ = reader.canRead() ? reader.size() : QSize();
    return !IsNull();
}

const QPixmap& CScaledPicture::Base() const {
    if (base_.isNull() && !IsNull()) {
        base_ = QPixmap::fromImage(bands_.IsNull() ? ReadPng(name_) : bands_.ToImage());
    }
    return base_;
}

const QPixmap& CScaledPicture::At(qreal ratio) const {
    if (IsNull() || ratio <= 1.0 || Near(ratio, 1.0)) return Base();
    if (!Near(ratio, scaledRatio_) || scaled_.isNull()) {
        scaled_ = Draw(name_, size_, ratio);
        scaledRatio_ = ratio;
        // Without a drawing for the ratio the 1x picture serves, and is
        // kept as the answer so that later paints do not look again.
        if (scaled_.isNull()) scaled_ = Base();
    }
    return scaled_;
}

void CScaledPicture::Paint(QPainter& painter, QPoint at) const {
    const qreal ratio = PaintRatio(painter);
    // Bands go to pixels as they are; another engine (a printer's) gets one picture, not strips.
    if (!bands_.IsNull() && Near(ratio, 1.0) && painter.paintEngine() != nullptr &&
        painter.paintEngine()->type() == QPaintEngine::Raster) {
        bands_.Paint(painter, at);
        return;
    }
    painter.drawPixmap(at, At(ratio));
}

QPixmap CScaledPicture::Draw(const QString& name, QSize baseSize, qreal ratio) {
    // The smallest drawing at or above the ratio; above 3x the 3x one.
    const Variant* chosen = &kVariants[std::size(kVariants) - 1];
    for (const Variant& variant : kVariants) {
        if (variant.ratio >= ratio || Near(variant.ratio, ratio)) {
            chosen = &variant;
            break;
        }
    }
    QImage image = ReadPng(name + QLatin1String(chosen->suffix));
    if (image.isNull()) return QPixmap();
    const QSize wanted(qRound(baseSize.width() * ratio), qRound(baseSize.height() * ratio));
    if (image.size() != wanted) {
        image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap picture = QPixmap::fromImage(image);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

QImage CScaledPicture::ReadPng(const QString& name) {
    QImageReader reader(name);
    ReadAsPng(reader);
    return reader.read();
}

qreal CScaledPicture::PaintRatio(QPainter& painter) {
    // A widget's painter names the widget as its device even when it paints
    // into an image of another ratio; its engine knows the real surface.
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* surface = engine != nullptr ? engine->paintDevice() : nullptr;
    return surface != nullptr ? surface->devicePixelRatio() : painter.device()->devicePixelRatio();
}
