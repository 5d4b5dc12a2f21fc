#include "korvexbitmaps.h"

#include <array>

namespace {

// There is no 102, 103 or 110: hosts ask for exactly these ids.
constexpr std::array<int, 14> ids = {101, 104, 105, 106, 107, 108, 109,
                                     111, 112, 113, 114, 115, 116, 117};

} // namespace

std::span<const int> korvexBitmapIds()
{
    return ids;
}
