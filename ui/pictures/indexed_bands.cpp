#include "ui/pictures/indexed_bands.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <QHash>
#include <QPainter>

namespace {

constexpr char kMagic[4] = {'C', 'I', 'B', '1'};
constexpr int kHeaderBytes = 12;  // magic, width, height, bands, two bytes unused
constexpr int kBandHeaderBytes = 4;
constexpr int kMaxColours = 256;
constexpr int kMaxSide = std::numeric_limits<quint16>::max();

// Rows of indices are padded to whole 32-bit words, as QImage wants its lines.
int Stride(int width) { return (width + 3) / 4 * 4; }

void PutU16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>((value >> 8) & 0xff));
}

void PutU32(QByteArray& out, quint32 value) {
    for (int shift = 0; shift < 32; shift += 8) out.append(static_cast<char>((value >> shift) & 0xff));
}

// A reader that never goes past the end: a short read fails and stays failed.
class Reader {
public:
    explicit Reader(const QByteArray& data) : data_(data) {}
    bool U16(int& value) {
        const uchar* p = Take(2);
        if (p == nullptr) return false;
        value = p[0] | (p[1] << 8);
        return true;
    }
    bool U32(quint32& value) {
        const uchar* p = Take(4);
        if (p == nullptr) return false;
        value = quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
        return true;
    }
    const uchar* Take(qsizetype bytes) {
        if (bytes < 0 || bytes > data_.size() - offset_) return nullptr;
        const uchar* p = reinterpret_cast<const uchar*>(data_.constData()) + offset_;
        offset_ += bytes;
        return p;
    }
    bool AtEnd() const { return offset_ == data_.size(); }

private:
    const QByteArray& data_;
    qsizetype offset_ = 0;
};

}  // namespace

QByteArray CIndexedBands::Encode(const QImage& image) {
    if (image.isNull() || image.width() > kMaxSide || image.height() > kMaxSide) return QByteArray();
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    const int width = pixels.width();
    const int stride = Stride(width);
    QByteArray bands;
    int count = 0;
    for (int top = 0; top < pixels.height();) {
        // The band grows while its colours fit in one table.
        QHash<QRgb, int> index;
        QList<QRgb> colours;
        int bottom = top;
        for (; bottom < pixels.height(); ++bottom) {
            const QRgb* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(bottom));
            QHash<QRgb, int> grown = index;
            QList<QRgb> more = colours;
            for (int x = 0; x < width && more.size() <= kMaxColours; ++x) {
                if (!grown.contains(line[x])) {
                    grown.insert(line[x], int(more.size()));
                    more.append(line[x]);
                }
            }
            if (more.size() > kMaxColours) break;
            index = std::move(grown);
            colours = std::move(more);
        }
        if (bottom == top) return QByteArray();  // one row alone has too many colours
        PutU16(bands, bottom - top);
        PutU16(bands, int(colours.size()));
        for (QRgb colour : colours) PutU32(bands, colour);
        for (int y = top; y < bottom; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
            QByteArray row(stride, '\0');
            for (int x = 0; x < width; ++x) row[x] = static_cast<char>(index.value(line[x]));
            bands.append(row);
        }
        ++count;
        top = bottom;
    }
    if (count > kMaxSide) return QByteArray();
    QByteArray out(kMagic, sizeof kMagic);
    PutU16(out, width);
    PutU16(out, pixels.height());
    PutU16(out, count);
    PutU16(out, 0);
    return out + bands;
}

bool CIndexedBands::LooksLike(const QByteArray& data) {
    return data.size() >= int(sizeof kMagic) && std::memcmp(data.constData(), kMagic, sizeof kMagic) == 0;
}

bool CIndexedBands::Load(const QByteArray& data) {
    data_.clear();
    size_ = QSize();
    bands_.clear();
    opaque_ = true;
    if (!LooksLike(data)) return false;
    // The images below point into this copy (shared with the caller's, never written).
    QByteArray held = data;
    Reader reader(held);
    int width = 0;
    int height = 0;
    int count = 0;
    int unused = 0;
    if (reader.Take(sizeof kMagic) == nullptr || !reader.U16(width) || !reader.U16(height) ||
        !reader.U16(count) || !reader.U16(unused) || width == 0 || height == 0 || count == 0) {
        return false;
    }
    const int stride = Stride(width);
    std::vector<Band> bands;
    bool opaque = true;
    int top = 0;
    for (int band = 0; band < count; ++band) {
        int rows = 0;
        int colours = 0;
        if (!reader.U16(rows) || !reader.U16(colours) || rows == 0 || rows > height - top || colours == 0 ||
            colours > kMaxColours) {
            return false;
        }
        QList<QRgb> table(colours);
        for (QRgb& colour : table) {
            quint32 value = 0;
            if (!reader.U32(value)) return false;
            colour = value;
            opaque = opaque && qAlpha(colour) == 255;
        }
        const uchar* indices = reader.Take(qsizetype(rows) * stride);
        if (indices == nullptr) return false;
        // An index past the table would be painted from outside it.
        for (int y = 0; y < rows; ++y) {
            const uchar* line = indices + qsizetype(y) * stride;
            if (*std::max_element(line, line + width) >= colours) return false;
        }
        QImage image(indices, width, rows, stride, QImage::Format_Indexed8);
        image.setColorTable(table);
        bands.push_back({top, image});
        top += rows;
    }
    if (top != height || !reader.AtEnd()) return false;
    data_ = held;
    size_ = QSize(width, height);
    bands_ = std::move(bands);
    opaque_ = opaque;
    return true;
}

void CIndexedBands::Paint(QPainter& painter, QPoint at) const {
    for (const Band& band : bands_) painter.drawImage(at + QPoint(0, band.top), band.rows);
}

QImage CIndexedBands::ToImage() const {
    if (IsNull()) return QImage();
    // Converted, not painted: the colours are copied as they are, unpremultiplied.
    QImage image(size_, opaque_ ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    for (const Band& band : bands_) {
        const QImage rows = band.rows.convertToFormat(image.format());
        for (int y = 0; y < rows.height(); ++y) {
            std::memcpy(image.scanLine(band.top + y), rows.constScanLine(y),
                        std::size_t(rows.bytesPerLine()));
        }
    }
    return image;
}
