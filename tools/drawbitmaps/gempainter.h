#pragma once

#include "resources/korvexbitmaps.h"

#include <QImage>

/// Draws the plug-in's toolbar picture: a faceted red gemstone on a square button face with a
/// one-pixel frame, a one-pixel drop shadow to the right and below, and magenta (the
/// transparent colour) in the two corners the frame and shadow leave free.
class GemPainter
{
public:
    /// Flat: pure red gem, silver face, black frame, grey shadow. Disabled: grey gem, flat
    /// light face, mid-grey frame, light shadow. Normal: red-to-pink gem, face darkening
    /// towards the top, black frame. Highlighted: Normal with a raised bevel inside the frame.
    using Look = KorvexBitmap::Look;

    /// The picture at @p size x @p size pixels (16 or 24; null image otherwise), drawn pixel
    /// by pixel without antialiasing. Every pixel is opaque.
    static QImage draw(int size, Look look);
};
