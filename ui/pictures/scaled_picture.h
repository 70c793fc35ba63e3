#pragma once
// CScaledPicture: one of the program's pictures for the device pixel ratio
// it is painted at. The build draws each picture at 1x, 1.5x, 2x and 3x
// (resources "name", "name@1.5x", "name@2x", "name@3x", PNG); a ratio that
// has its own drawing gets it, any other gets the next larger drawing
// smoothly reduced to it, so that no ratio up to 3 shows a blown-up
// picture. The coordinates stay those of the 1x picture at every ratio.
// Only the drawing of a ratio painted at is decoded, when it is first
// painted: loading reads no more than the 1x picture's size. A 1x picture
// may instead be stored in indexed bands (ui/pictures/indexed_bands.h): it is then
// painted at 1x from its bands as they are, and made into 32-bit pixels
// only for another ratio that has no drawing of its own, or when asked for.

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QString>

#include "ui/pictures/indexed_bands.h"

class QPainter;

class CScaledPicture {
public:
    // Takes the 1x picture of a resource name (its size, read from its
    // header); false when it is missing or not a picture.
    bool Load(const char* name);

    bool IsNull() const { return size_.isEmpty(); }
    // The size of the 1x picture, the picture's size at every ratio.
    QSize Size() const { return size_; }
    // The 1x picture.
    const QPixmap& Base() const;
    // The picture for ratio, its device-independent size that of the 1x one.
    const QPixmap& At(qreal ratio) const;
    // Paints the picture for the painter's ratio (PaintRatio) with its top left at at.
    void Paint(QPainter& painter, QPoint at) const;

    // The picture drawn for ratio from the resources of name (no cache).
    static QPixmap Draw(const QString& name, QSize baseSize, qreal ratio);
    // A PNG picture of the resources; null when it is missing or not a PNG.
    static QImage ReadPng(const QString& name);

    // The device pixel ratio that painter paints at: that of the surface it
    // reaches (a widget's backing store, or the image a widget is rendered into).
    static qreal PaintRatio(QPainter& painter);

private:
    QString name_;
    QSize size_;
    CIndexedBands bands_;
    mutable QPixmap base_;
    mutable QPixmap scaled_;
    mutable qreal scaledRatio_ = 0;
};
