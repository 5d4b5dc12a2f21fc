#include "bmpencoder.h"

#include <QHash>
#include <cstdint>

namespace {

constexpr int fileHeaderSize = 14;
constexpr int infoHeaderSize = 40;
// 72 dpi, as most paint programs write it; resource compilers ignore the value.
constexpr std::int32_t pixelsPerMetre = 2835;

void putU16(QByteArray &out, std::uint16_t value)
{
    out.append(char(value & 0xff));
    out.append(char(value >> 8));
}

void putU32(QByteArray &out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((value >> shift) & 0xff));
}

} // namespace

int BmpEncoder::rowStride(int width, int bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

QByteArray BmpEncoder::encode(const QImage &image, int bitsPerPixel, const QList<QRgb> &palette)
{
    if (image.isNull() || (bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24))
        return {};
    const int paletteEntries = bitsPerPixel == 24 ? 0 : 1 << bitsPerPixel;
    if (paletteEntries > 0 && palette.size() > paletteEntries)
        return {};

    // First entry wins, so a palette with repeated colours still maps deterministically.
    QHash<QRgb, int> indexOf;
    for (int i = 0; i < palette.size(); ++i) {
        const QRgb rgb = palette[i] & RGB_MASK;
        if (!indexOf.contains(rgb))
            indexOf.insert(rgb, i);
    }

    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    const int width = source.width();
    const int height = source.height();
    const int stride = rowStride(width, bitsPerPixel);
    const std::uint32_t pixelBytes = std::uint32_t(stride) * std::uint32_t(height);
    const std::uint32_t offset = fileHeaderSize + infoHeaderSize + 4 * paletteEntries;

    QByteArray out;
    out.reserve(int(offset + pixelBytes));
    out.append("BM", 2);
    putU32(out, offset + pixelBytes);
    putU16(out, 0);
    putU16(out, 0);
    putU32(out, offset);

    putU32(out, infoHeaderSize);
    putU32(out, std::uint32_t(width));
    putU32(out, std::uint32_t(height)); // positive: rows run bottom-up
    putU16(out, 1);
    putU16(out, std::uint16_t(bitsPerPixel));
    putU32(out, 0); // BI_RGB
    putU32(out, pixelBytes);
    putU32(out, pixelsPerMetre);
    putU32(out, pixelsPerMetre);
    putU32(out, std::uint32_t(paletteEntries));
    putU32(out, 0);

    for (int i = 0; i < paletteEntries; ++i) {
        const QRgb rgb = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        out.append(char(qBlue(rgb)));
        out.append(char(qGreen(rgb)));
        out.append(char(qRed(rgb)));
        out.append(char(0));
    }

    for (int y = height - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        QByteArray row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            const QRgb rgb = line[x] & RGB_MASK;
            if (bitsPerPixel == 24) {
                row[3 * x] = char(qBlue(rgb));
                row[3 * x + 1] = char(qGreen(rgb));
                row[3 * x + 2] = char(qRed(rgb));
                continue;
            }
            const auto found = indexOf.constFind(rgb);
            if (found == indexOf.constEnd())
                return {};
            if (bitsPerPixel == 8) {
                row[x] = char(found.value());
            } else if (x % 2 == 0) {
                row[x / 2] = char(found.value() << 4); // left pixel in the high nibble
            } else {
                row[x / 2] = char(row[x / 2] | found.value());
            }
        }
        out.append(row);
    }
    return out;
}
