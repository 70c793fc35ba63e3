#pragma once
// CScaledPicture: one of the program's pictures for the device pixel ratio
// it is painted at. The build draws each picture at 1x, 1.5x, 2x and 3x
// (resources "name", "name@1.5x", "name@2x", "name@3x"); a ratio that has
// its own drawing gets it, any other gets the next larger drawing smoothly
// reduced to it, so that no ratio up to 3 shows a blown-up picture. The
// coordinates stay those of the 1x picture at every ratio.

#include <QPixmap>
#include <QString>

class QPainter;

class CScaledPicture {
public:
    // Loads the 1x picture of a resource name; false when it is missing.
    bool Load(const char* name);

    bool IsNull() const { return base_.isNull(); }
    // The 1x picture.
    const QPixmap& Base() const { return base_; }
    // The picture for ratio, its device-independent size that of the 1x one.
    const QPixmap& At(qreal ratio) const;

    // The picture drawn for ratio from the resources of name (no cache).
    static QPixmap Draw(const QString& name, QSize baseSize, qreal ratio);

    // The device pixel ratio that painter paints at: that of the surface it
    // reaches (a widget's backing store, or the image a widget is rendered into).
    static qreal PaintRatio(QPainter& painter);

private:
    QString name_;
    QPixmap base_;
    mutable QPixmap scaled_;
    mutable qreal scaledRatio_ = 0;
};
