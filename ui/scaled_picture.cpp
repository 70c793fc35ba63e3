#include "ui/scaled_picture.h"

#include <cmath>
#include <iterator>

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

namespace {

struct Variant {
    qreal ratio;
    const char* suffix;
};
// As chronara-artgen draws them, smallest first.
constexpr Variant kVariants[] = {{1.5, "@1.5x"}, {2.0, "@2x"}, {3.0, "@3x"}};

bool Near(qreal a, qreal b) { return std::abs(a - b) < 0.01; }

}  // namespace

bool CScaledPicture::Load(const char* name) {
    name_ = QString::fromLatin1(name);
    base_.load(name_);
    scaled_ = QPixmap();
    scaledRatio_ = 0;
    return !base_.isNull();
}

const QPixmap& CScaledPicture::At(qreal ratio) const {
    if (base_.isNull() || ratio <= 1.0 || Near(ratio, 1.0)) return base_;
    if (!Near(ratio, scaledRatio_) || scaled_.isNull()) {
        scaled_ = Draw(name_, base_.size(), ratio);
        scaledRatio_ = ratio;
        // Without a drawing for the ratio the 1x picture serves, and is
        // kept as the answer so that later paints do not look again.
        if (scaled_.isNull()) scaled_ = base_;
    }
    return scaled_;
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
    QImage image(name + QLatin1String(chosen->suffix));
    if (image.isNull()) return QPixmap();
    const QSize wanted(qRound(baseSize.width() * ratio), qRound(baseSize.height() * ratio));
    if (image.size() != wanted) {
        image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QPixmap picture = QPixmap::fromImage(image);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

qreal CScaledPicture::PaintRatio(QPainter& painter) {
    // A widget's painter names the widget as its device even when it paints
    // into an image of another ratio; its engine knows the real surface.
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* surface = engine != nullptr ? engine->paintDevice() : nullptr;
    return surface != nullptr ? surface->devicePixelRatio() : painter.device()->devicePixelRatio();
}
