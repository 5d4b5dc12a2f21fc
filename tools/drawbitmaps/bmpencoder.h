#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

/// Writes uncompressed Windows .bmp files (BITMAPFILEHEADER + BITMAPINFOHEADER, BI_RGB,
/// bottom-up rows padded to 4 bytes). Qt's own writer cannot produce 4 or 8 bits per pixel.
class BmpEncoder
{
public:
    /// The whole .bmp file of @p image at @p bitsPerPixel (4, 8 or 24). For 4 and 8 bits
    /// @p palette is written as the colour table (padded with black to 16 or 256 entries) and
    /// every pixel must match one of its entries exactly; at 24 bits it is ignored, as is
    /// alpha. Answers an empty array when the depth is unsupported, the palette too long or a
    /// pixel has no entry.
    static QByteArray encode(const QImage &image, int bitsPerPixel,
                             const QList<QRgb> &palette = {});

    /// The bytes of one row, padded to a multiple of 4, for @p width pixels at @p bitsPerPixel.
    static int rowStride(int width, int bitsPerPixel);
};
