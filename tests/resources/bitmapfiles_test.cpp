#include "bitmapset.h"
#include "bmpfields.h"
#include "resources/korvexbitmaps.h"
#include "resources/qt/korvexbitmapfiles.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct Expected
{
    int id;
    int size;
    int bitsPerPixel;
};

// What the host asks for; kept apart from the drawing code's own table on purpose.
const Expected expectedBitmaps[] = {
    {101, 16, 4},  {104, 24, 4},  {105, 16, 8},  {106, 16, 8},  {107, 16, 8},
    {108, 16, 24}, {109, 16, 24}, {111, 16, 24}, {112, 24, 8},  {113, 24, 8},
    {114, 24, 8},  {115, 24, 24}, {116, 24, 24}, {117, 24, 24},
};

const QRgb magenta = qRgb(255, 0, 255);

QImage embeddedImage(int id)
{
    return QImage::fromData(korvexBitmapFile(id), "BMP").convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(EmbeddedBitmaps, DeclareTheirSizeAndDepthInAnUncompressedHeader)
{
    for (const Expected &expected : expectedBitmaps) {
        SCOPED_TRACE(expected.id);
        const QByteArray file = korvexBitmapFile(expected.id);
        ASSERT_GE(file.size(), 54);
        EXPECT_EQ(file.left(2), QByteArray("BM"));
        EXPECT_EQ(bmpU32(file, 2), std::uint32_t(file.size()));
        EXPECT_EQ(bmpU32(file, 14), 40u); // BITMAPINFOHEADER
        EXPECT_EQ(bmpU32(file, 18), std::uint32_t(expected.size));
        EXPECT_EQ(bmpU32(file, 22), std::uint32_t(expected.size)); // positive: bottom-up
        EXPECT_EQ(bmpU16(file, 26), 1);
        EXPECT_EQ(bmpU16(file, 28), expected.bitsPerPixel);
        EXPECT_EQ(bmpU32(file, 30), 0u); // BI_RGB
        const std::uint32_t paletteEntries =
            expected.bitsPerPixel == 24 ? 0 : 1u << expected.bitsPerPixel;
        const std::uint32_t stride = (expected.size * expected.bitsPerPixel + 31) / 32 * 4;
        EXPECT_EQ(bmpU32(file, 10), 54 + 4 * paletteEntries);
        EXPECT_EQ(std::uint32_t(file.size()), 54 + 4 * paletteEntries + stride * expected.size);

        const QImage image = embeddedImage(expected.id);
        EXPECT_EQ(image.size(), QSize(expected.size, expected.size));
    }
}

TEST(EmbeddedBitmaps, AreMagentaInExactlyTheTopRightAndBottomLeftCorners)
{
    for (const Expected &expected : expectedBitmaps) {
        SCOPED_TRACE(expected.id);
        const QImage image = embeddedImage(expected.id);
        ASSERT_FALSE(image.isNull());
        const int last = expected.size - 1;
        // Magenta anywhere else would turn transparent on the toolbar.
        for (int y = 0; y <= last; ++y) {
            for (int x = 0; x <= last; ++x) {
                const bool corner = (x == last && y == 0) || (x == 0 && y == last);
                EXPECT_EQ(image.pixel(x, y) == magenta, corner) << "pixel " << x << "," << y;
            }
        }
    }
}

TEST(EmbeddedBitmaps, LeaveOutIdsTheHostNeverAsksFor)
{
    for (const int id : {0, 100, 102, 103, 110, 118}) {
        EXPECT_TRUE(korvexBitmapFile(id).isEmpty()) << id;
        EXPECT_TRUE(std::ranges::none_of(korvexBitmaps(), [id](const KorvexBitmap &b) {
            return b.id == id;
        })) << id;
    }
    EXPECT_EQ(korvexBitmaps().size(), std::size(expectedBitmaps));
}

TEST(EmbeddedBitmaps, ShowEachLookIdenticallyAt256ColoursAndTrueColour)
{
    const std::pair<int, int> sameLook[] = {{105, 108}, {106, 109}, {107, 111},
                                            {112, 115}, {113, 116}, {114, 117}};
    for (const auto &[palettised, trueColour] : sameLook) {
        SCOPED_TRACE(palettised);
        const QImage a = embeddedImage(palettised);
        ASSERT_FALSE(a.isNull());
        EXPECT_EQ(a, embeddedImage(trueColour));
    }
}

TEST(EmbeddedBitmaps, UseOnlyTheStandardPaletteAt16Colours)
{
    const QRgb standard[16] = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    for (const int id : {101, 104}) {
        SCOPED_TRACE(id);
        const QByteArray file = korvexBitmapFile(id);
        ASSERT_GE(file.size(), 54 + 64);
        for (int i = 0; i < 16; ++i) {
            const int entry = 54 + 4 * i; // blue, green, red, reserved
            EXPECT_EQ(qRgb(std::uint8_t(file[entry + 2]), std::uint8_t(file[entry + 1]),
                           std::uint8_t(file[entry])),
                      standard[i])
                << "entry " << i;
        }
    }
}

TEST(EmbeddedBitmaps, MatchWhatTheDrawingProgramDrawsNow)
{
    // Catches a drawing change committed without regenerating resources/bitmaps.
    for (const BitmapSet::Entry &entry : BitmapSet::entries()) {
        SCOPED_TRACE(entry.id);
        EXPECT_EQ(korvexBitmapFile(entry.id), BitmapSet::file(entry))
            << "run the 'bitmaps' target and commit resources/bitmaps";
    }
}
