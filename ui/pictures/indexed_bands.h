#pragma once
// CIndexedBands: a picture kept as horizontal bands of at most 256 colours
// each, one byte a pixel: a quarter of the memory of its 32-bit pixels, and
// painted as it is stored, with nothing to decode. The build writes the 1x
// backdrop in this form beside its PNG (chronara-artgen), so that the
// window's first frame neither inflates a PNG nor holds its 32-bit copy.
//
// The form, every number little-endian: "CIB1"; width, height and the
// number of bands (16 bits each); then for each band, top to bottom, its
// rows and its colours (16 bits each), the colours (32-bit ARGB), and its
// rows of colour indices, width bytes each. The bands cover the picture.

#include <vector>

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>

class QPainter;

class CIndexedBands {
public:
    // The form of image, each band as tall as its colours allow; empty when
    // a row alone has more than 256 colours or the image is empty or larger
    // than the form's 16-bit sizes.
    static QByteArray Encode(const QImage& image);
    // Whether data begins as the form does (it may still be damaged).
    static bool LooksLike(const QByteArray& data);

    // Takes data in the form; false, keeping nothing, when it is not, or is
    // cut short, or its bands do not cover the picture exactly.
    bool Load(const QByteArray& data);

    bool IsNull() const { return bands_.empty(); }
    QSize Size() const { return size_; }
    // Paints the picture with its top left at at, within the painter's clip.
    void Paint(QPainter& painter, QPoint at) const;
    // The picture as 32-bit pixels (RGB32 when every colour is opaque).
    QImage ToImage() const;

private:
    struct Band {
        int top;
        QImage rows;  // Indexed8 over data_, not a copy
    };
    QByteArray data_;
    QSize size_;
    std::vector<Band> bands_;
    bool opaque_ = true;
};
