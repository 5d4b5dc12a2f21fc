#include "propertyqueries.h"

#include "plinthar/plintharplugin.h"

#include "platform/messagebox.h"
#include "platform/textcoding.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int VersionTextId = 5;
constexpr int QueryTextId = 4;
constexpr int MaxStringLength = 1023;

// Bitmap ids by size, then colour depth (16, 256, true colour), then look.
enum Look { Disabled, Highlighted, Normal };
constexpr int SmallBitmaps[3][3] = {{101, 101, 101}, {105, 107, 106}, {108, 111, 109}};
constexpr int LargeBitmaps[3][3] = {{104, 104, 104}, {112, 114, 113}, {115, 117, 116}};

} // namespace

namespace PropertyQueries {

int bitmapId(platform::WParam bits)
{
    const int depth = (bits & PLUGIN_BITMAP_TRUE_COLOUR)   ? 2
                      : (bits & PLUGIN_BITMAP_256_COLOURS) ? 1
                                                           : 0;
    const Look look = (bits & PLUGIN_BITMAP_DISABLED)      ? Disabled
                      : (bits & PLUGIN_BITMAP_HIGHLIGHTED) ? Highlighted
                                                           : Normal;
    return (bits & PLUGIN_BITMAP_LARGE) ? LargeBitmaps[depth][look] : SmallBitmaps[depth][look];
}

platform::LResult maskColour(platform::WParam bits)
{
    constexpr platform::LResult Magenta = 0x00FF00FF;
    return (bits & (PLUGIN_BITMAP_TRUE_COLOUR | PLUGIN_BITMAP_256_COLOURS)) ? Magenta : 0;
}

platform::LResult textAnswer(platform::ModuleHandle module, int id, platform::WParam size,
                             char *buffer)
{
    char text[MaxStringLength + 1] = {};
    const int length = std::max(0, platform::loadString(module, id, text, sizeof text));
    if (buffer && size > 0) {
        const std::size_t copied = std::min<std::size_t>(std::size_t(length), size - 1);
        std::memcpy(buffer, text, copied);
        buffer[copied] = '\0';
    }
    return length;
}

platform::LResult confirmUninstall(platform::WindowHandle view)
{
    const auto choice =
        platform::messageBox(view, platform::systemText("アンインストールしてもいいですか？"),
                             "UnInstall", platform::MessageBoxStyle::YesNoQuestion);
    return choice == platform::MessageBoxResult::Yes ? 1 : 0;
}

platform::LResult answer(platform::ModuleHandle module, platform::WindowHandle view,
                         std::uint32_t message, platform::WParam wParam, platform::LParam lParam)
{
    char *buffer = reinterpret_cast<char *>(lParam);
    switch (message) {
    case PLUGIN_QUERY_0901:
    case PLUGIN_QUERY_0906:
        return 1;
    case PLUGIN_QUERY_TEXT_0902:
        return textAnswer(module, QueryTextId, wParam, buffer);
    case PLUGIN_QUERY_VERSION:
        return textAnswer(module, VersionTextId, wParam, buffer);
    case PLUGIN_QUERY_UNINSTALL:
        return confirmUninstall(view);
    case PLUGIN_QUERY_BITMAP:
        return bitmapId(wParam);
    case PLUGIN_QUERY_MASK:
        return maskColour(wParam);
    default: // 0x900, 0x903, 0x905 and everything unknown
        return 0;
    }
}

} // namespace PropertyQueries
