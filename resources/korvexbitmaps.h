#pragma once

#include <span>

/// Ids of the toolbar bitmaps the library holds, ascending: 101, 104, 105-109, 111-117.
std::span<const int> korvexBitmapIds();
