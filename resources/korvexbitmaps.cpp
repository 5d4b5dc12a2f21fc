#include "resources/korvexbitmaps.h"

#include <algorithm>
#include <array>

namespace {

using Look = KorvexBitmap::Look;

constexpr std::array<KorvexBitmap, 14> bitmaps = {{
    {101, 16, 4, Look::Flat},
    {104, 24, 4, Look::Flat},
    {105, 16, 8, Look::Disabled},
    {106, 16, 8, Look::Normal},
    {107, 16, 8, Look::Highlighted},
    {108, 16, 24, Look::Disabled},
    {109, 16, 24, Look::Normal},
    {111, 16, 24, Look::Highlighted},
    {112, 24, 8, Look::Disabled},
    {113, 24, 8, Look::Normal},
    {114, 24, 8, Look::Highlighted},
    {115, 24, 24, Look::Disabled},
    {116, 24, 24, Look::Normal},
    {117, 24, 24, Look::Highlighted},
}};

} // namespace

std::span<const KorvexBitmap> korvexBitmaps()
{
    return bitmaps;
}

int korvexBitmapId(int size, int bitsPerPixel, KorvexBitmap::Look look)
{
    const auto found = std::ranges::find_if(bitmaps, [&](const KorvexBitmap &b) {
        return b.size == size && b.bitsPerPixel == bitsPerPixel && b.look == look;
    });
    return found == bitmaps.end() ? 0 : found->id;
}
