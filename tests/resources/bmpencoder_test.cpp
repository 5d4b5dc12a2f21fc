#include "bmpencoder.h"
#include "bmpfields.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

const QList<QRgb> palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 200, 0), qRgb(10, 20, 250),
                             qRgb(255, 255, 255)};

// Every width that leaves a different amount of row padding, and rows that differ, so a
// wrong stride, nibble order or row order shows up as a changed picture.
QImage pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, palette[(x * 3 + y * 2 + x * y) % palette.size()]);
    return image;
}

} // namespace

TEST(BmpEncoder, RoundTripsEveryDepthAndRowPadding)
{
    for (const int bits : {4, 8, 24}) {
        for (const int width : {1, 2, 3, 4, 5, 7, 9}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
            const QImage original = pattern(width, 3);
            const QByteArray file = BmpEncoder::encode(original, bits, palette);
            ASSERT_FALSE(file.isEmpty());
            EXPECT_EQ(file.size(), int(bmpU32(file, 10)) + 3 * BmpEncoder::rowStride(width, bits));
            EXPECT_EQ(BmpEncoder::rowStride(width, bits) % 4, 0);
            const QImage decoded =
                QImage::fromData(file, "BMP").convertToFormat(QImage::Format_RGB32);
            EXPECT_EQ(decoded, original);
        }
    }
}

TEST(BmpEncoder, RefusesWhatItCannotWriteExactly)
{
    const QImage image = pattern(4, 4);
    QList<QRgb> tooLong;
    for (int i = 0; i < 17; ++i)
        tooLong.append(qRgb(i, i, i));
    struct Case
    {
        const char *what;
        QImage image;
        int bits;
        QList<QRgb> palette;
    };
    const Case cases[] = {
        {"colour missing from the palette", image, 8, {qRgb(0, 0, 0)}},
        {"palette longer than 4 bits allow", image, 4, tooLong},
        {"32 bits per pixel", image, 32, {}},
        {"1 bit per pixel", image, 1, palette},
        {"null image", QImage(), 24, {}},
    };
    for (const Case &c : cases)
        EXPECT_TRUE(BmpEncoder::encode(c.image, c.bits, c.palette).isEmpty()) << c.what;
}
