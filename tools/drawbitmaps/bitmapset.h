#pragma once

#include "gempainter.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <span>

/// How the plug-in's fourteen toolbar bitmaps are drawn and encoded.
class BitmapSet
{
public:
    using Entry = KorvexBitmap;

    /// All bitmaps in id order: 101, 104, 105-109, 111-117.
    static std::span<const Entry> entries() { return korvexBitmaps(); }

    /// The standard 16-colour Windows palette (black, maroon, ... white).
    static QList<QRgb> windowsPalette16();

    /// The colour table written with @p entry's picture: the 16-colour palette for 4 bits,
    /// the picture's own colours in first-seen order for 8 bits, none for 24 bits.
    static QList<QRgb> palette(const Entry &entry, const QImage &picture);

    /// The whole .bmp file of @p entry; empty if the picture cannot be encoded exactly.
    static QByteArray file(const Entry &entry);

    /// The file name the bitmap is stored under, e.g. "bmp101.bmp".
    static QString fileName(int id);
};
