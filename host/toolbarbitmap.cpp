#include "host/toolbarbitmap.h"

#include "plinthar/plintharplugin.h"

namespace ToolbarBitmap {

std::uintptr_t queryBits(int depth, bool large, Look look)
{
    const std::uintptr_t colour = depth >= 24  ? PLUGIN_BITMAP_TRUE_COLOUR
                                  : depth >= 8 ? PLUGIN_BITMAP_256_COLOURS
                                               : 0;
    const std::uintptr_t state = look == Look::Disabled      ? PLUGIN_BITMAP_DISABLED
                                 : look == Look::Highlighted ? PLUGIN_BITMAP_HIGHLIGHTED
                                                             : 0;
    return (large ? PLUGIN_BITMAP_LARGE : 0) | colour | state;
}

} // namespace ToolbarBitmap
