#include "propertyqueries.h"

#include "plinthar/plintharplugin.h"

#include "platform/messagebox.h"
#include "platform/textbytes.h"
#include "platform/textcoding.h"
#include "resources/korvexbitmaps.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int VersionTextId = 5;
constexpr int DescriptionTextId = 4;
constexpr int MaxStringLength = 1023;

} // namespace

namespace PropertyQueries {

int bitmapId(platform::WParam bits)
{
    using Look = KorvexBitmap::Look;
    const int size = (bits & PLUGIN_BITMAP_LARGE) ? 24 : 16;
    const int depth = (bits & PLUGIN_BITMAP_TRUE_COLOUR)   ? 24
                      : (bits & PLUGIN_BITMAP_256_COLOURS) ? 8
                                                           : 4;
    // The 16-colour pictures have one look only.
    const Look look = depth == 4                           ? Look::Flat
                      : (bits & PLUGIN_BITMAP_DISABLED)    ? Look::Disabled
                      : (bits & PLUGIN_BITMAP_HIGHLIGHTED) ? Look::Highlighted
                                                           : Look::Normal;
    return korvexBitmapId(size, depth, look);
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
    platform::copyTerminated(std::string_view(text, std::size_t(length)), buffer, size);
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
    case 0x901: // queries whose meaning the host does not give: fixed answers
    case 0x906:
        return 1;
    case PLUGIN_QUERY_DESCRIPTION:
        return textAnswer(module, DescriptionTextId, wParam, buffer);
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
