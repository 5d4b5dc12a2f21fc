#pragma once

#include <span>

/// One of the plug-in's toolbar bitmaps: all show the same gemstone on a button face.
struct KorvexBitmap
{
    enum class Look {
        Flat,        ///< the 16-colour picture
        Disabled,    ///< grey shades only
        Normal,      ///< shaded red gem
        Highlighted, ///< Normal with a raised bevel inside the frame
    };

    int id;
    int size;         ///< width and height in pixels
    int bitsPerPixel; ///< 4, 8 or 24
    Look look;
};

/// Every bitmap the library holds, in id order: 101, 104, 105-109, 111-117 (there is no 102,
/// 103 or 110).
std::span<const KorvexBitmap> korvexBitmaps();

/// The id of the bitmap of @p size, @p bitsPerPixel and @p look; 0 when there is none.
int korvexBitmapId(int size, int bitsPerPixel, KorvexBitmap::Look look);
