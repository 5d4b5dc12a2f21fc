#include "gempainter.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

using Look = GemPainter::Look;

bool isGrey(QRgb rgb)
{
    return qRed(rgb) == qGreen(rgb) && qGreen(rgb) == qBlue(rgb);
}

bool isMagenta(QRgb rgb)
{
    return (rgb & RGB_MASK) == (qRgb(255, 0, 255) & RGB_MASK);
}

int countPixels(const QImage &image, bool (*predicate)(QRgb))
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += predicate(image.pixel(x, y)) ? 1 : 0;
    return count;
}

bool isReddish(QRgb rgb)
{
    return qRed(rgb) > qGreen(rgb) + 60 && qRed(rgb) > qBlue(rgb) + 40;
}

} // namespace

TEST(GemPainter, DrawsOnlyTheToolbarSizes)
{
    for (const int size : {0, 15, 17, 32})
        EXPECT_TRUE(GemPainter::draw(size, Look::Normal).isNull()) << size;
}

TEST(GemPainter, KeepsTheDisabledLookFreeOfColour)
{
    for (const int size : {16, 24}) {
        const QImage image = GemPainter::draw(size, Look::Disabled);
        EXPECT_EQ(countPixels(image, isGrey) + countPixels(image, isMagenta), size * size) << size;
    }
}

TEST(GemPainter, ShowsARedGemInEveryColouredLook)
{
    for (const Look look : {Look::Flat, Look::Normal, Look::Highlighted}) {
        for (const int size : {16, 24}) {
            // The gem covers a good part of the face, not a stray pixel or two.
            const QImage image = GemPainter::draw(size, look);
            EXPECT_GT(countPixels(image, isReddish), size * size / 5)
                << int(look) << " at " << size;
        }
    }
}

TEST(GemPainter, DarkensTheNormalFaceTowardsTheTop)
{
    for (const int size : {16, 24}) {
        const QImage image = GemPainter::draw(size, Look::Normal);
        // Column 1 is face from top to bottom: the gem never reaches it.
        for (int y = 2; y <= size - 3; ++y)
            EXPECT_LE(qGray(image.pixel(1, y - 1)), qGray(image.pixel(1, y))) << y;
        EXPECT_LT(qGray(image.pixel(1, 1)), qGray(image.pixel(1, size - 3)));
    }
}

TEST(GemPainter, RaisesTheHighlightedFaceWithALightTopLeftAndDarkBottomRight)
{
    for (const int size : {16, 24}) {
        SCOPED_TRACE(size);
        const QImage normal = GemPainter::draw(size, Look::Normal);
        const QImage highlighted = GemPainter::draw(size, Look::Highlighted);
        const int inner = size - 3;
        for (int i = 2; i < inner; ++i) {
            EXPECT_GT(qGray(highlighted.pixel(i, 1)), qGray(normal.pixel(i, 1)));
            EXPECT_GT(qGray(highlighted.pixel(1, i)), qGray(normal.pixel(1, i)));
            EXPECT_LT(qGray(highlighted.pixel(i, inner)), qGray(normal.pixel(i, inner)));
            EXPECT_LT(qGray(highlighted.pixel(inner, i)), qGray(normal.pixel(inner, i)));
        }
        // Frame and gem stay as in the normal look.
        EXPECT_EQ(highlighted.pixel(0, 0), normal.pixel(0, 0));
        EXPECT_EQ(highlighted.pixel(size / 2, size / 2), normal.pixel(size / 2, size / 2));
    }
}
