#include "gempainter.h"

#include <QColor>
#include <QPainter>
#include <array>
#include <span>

namespace {

// The gem is hand-placed pixel art so that facets stay crisp at toolbar sizes. Letters name
// shade classes that each look colours in its own way:
//   O outline, l facet edge, k shadowed facet, m mid facet, b lit facet, p brightest facet,
//   H highlight; '.' lets the button face show through.
constexpr std::array<const char *, 9> smallGem = {
    "..OOOOOOO..", //
    ".OHblplmkO.", //
    "ObblppplmkO", //
    "OlllllllllO", //
    ".ObbpppmkO.", //
    "..ObppmkO..", //
    "...OpmkO...", //
    "....OmO....", //
    ".....O.....", //
};

constexpr std::array<const char *, 13> largeGem = {
    "....OOOOOOOOO....", //
    "...ObHblplmmkO...", //
    "..ObHblppplmmkO..", //
    ".ObbblppppplmmkO.", //
    "OlllllllllllllllO", //
    ".ObblppppmmmlkkO.", //
    "..ObblpppmmlkkO..", //
    "...OblpppmmlkO...", //
    "....OblppmlkO....", //
    ".....OlppmlO.....", //
    "......OlplO......", //
    ".......OpO.......", //
    "........O........", //
};

struct GemShades
{
    QRgb outline, edge, dark, mid, lit, brightest, highlight;

    QRgb shade(char cls) const
    {
        switch (cls) {
        case 'O':
            return outline;
        case 'l':
            return edge;
        case 'k':
            return dark;
        case 'm':
            return mid;
        case 'b':
            return lit;
        case 'p':
            return brightest;
        default:
            return highlight;
        }
    }
};

QRgb grey(int value)
{
    return qRgb(value, value, value);
}

const QRgb magenta = qRgb(255, 0, 255);

// Colours of the standard 16-colour palette only, so the flat look encodes at 4 bits.
const GemShades flatGem = {qRgb(128, 0, 0), qRgb(128, 0, 0), qRgb(128, 0, 0),    qRgb(255, 0, 0),
                           qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(255, 255, 255)};
const GemShades redGem = {qRgb(104, 0, 16),   qRgb(160, 0, 24),   qRgb(192, 16, 40),
                          qRgb(226, 40, 64),  qRgb(248, 92, 116), qRgb(255, 152, 172),
                          qRgb(255, 236, 242)};
const GemShades greyGem = {grey(112), grey(140), grey(152), grey(166),
                           grey(182), grey(196), grey(244)};

void drawGem(QImage &image, std::span<const char *const> rows, int left, int top,
             const GemShades &shades)
{
    for (int y = 0; y < int(rows.size()); ++y) {
        for (int x = 0; rows[y][x] != '\0'; ++x) {
            if (rows[y][x] != '.')
                image.setPixel(left + x, top + y, shades.shade(rows[y][x]));
        }
    }
}

} // namespace

QImage GemPainter::draw(int size, Look look)
{
    if (size != 16 && size != 24)
        return {};
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(magenta);

    // Frame square, shadow one pixel further right and down, face inside the frame.
    const int frameEnd = size - 2;
    const int faceFirst = 1;
    const int faceLast = size - 3;
    const bool normalColours = look == Look::Normal || look == Look::Highlighted;
    QRgb frame = qRgb(0, 0, 0);
    QRgb shadow = grey(128);
    if (look == Look::Disabled) {
        frame = grey(128);
        shadow = grey(184);
    }

    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        // Whole-pixel rectangles only: fillRect with integer QRects never blends.
        for (int y = faceFirst; y <= faceLast; ++y) {
            QRgb face = grey(192);
            if (look == Look::Disabled)
                face = grey(214);
            if (normalColours) // darker at the top, like light falling from below the toolbar
                face = grey(168 + (236 - 168) * (y - faceFirst) / (faceLast - faceFirst));
            painter.fillRect(QRect(faceFirst, y, faceLast - faceFirst + 1, 1), QColor(face));
        }
        const QColor frameColour(frame);
        painter.fillRect(QRect(0, 0, frameEnd + 1, 1), frameColour);
        painter.fillRect(QRect(0, frameEnd, frameEnd + 1, 1), frameColour);
        painter.fillRect(QRect(0, 0, 1, frameEnd + 1), frameColour);
        painter.fillRect(QRect(frameEnd, 0, 1, frameEnd + 1), frameColour);
        const QColor shadowColour(shadow);
        painter.fillRect(QRect(size - 1, 1, 1, size - 1), shadowColour);
        painter.fillRect(QRect(1, size - 1, size - 1, 1), shadowColour);

        if (look == Look::Highlighted) {
            const QColor light(grey(255));
            const QColor dark(grey(120));
            const int span = faceLast - faceFirst + 1;
            painter.fillRect(QRect(faceFirst, faceFirst, span, 1), light);
            painter.fillRect(QRect(faceFirst, faceFirst, 1, span), light);
            painter.fillRect(QRect(faceFirst + 1, faceLast, span - 1, 1), dark);
            painter.fillRect(QRect(faceLast, faceFirst + 1, 1, span - 1), dark);
        }
    }

    const GemShades &shades = look == Look::Flat ? flatGem : normalColours ? redGem : greyGem;
    if (size == 16)
        drawGem(image, smallGem, 2, 3, shades);
    else
        drawGem(image, largeGem, 3, 5, shades);
    return image;
}
