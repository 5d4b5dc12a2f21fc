#include "pluginlibrary.h"

#include "ansitext.h"

#include "platform/win32/imagefile.h"

#include <algorithm>
#include <array>

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::wstring &path, std::string *error)
{
    const std::string shown = AnsiText::bytes(path);
    // A library of the other architecture would only get the system's "not a valid
    // application": say what is wrong with it.
    const int bits = platform::imageBits(path);
    if (bits != 0 && bits != platform::processBits()) {
        *error = "Cannot load the plug-in \"" + shown + "\": it is built for " +
                 std::to_string(bits) + "-bit Windows, and this Plinthar is a " +
                 std::to_string(platform::processBits()) + "-bit program.";
        return nullptr;
    }
    // Its own folder first for what it needs, and no error box from the system.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD loadError = GetLastError();
    SetErrorMode(oldMode);
    if (!module) {
        *error = "Cannot load the plug-in \"" + shown + "\": " + AnsiText::systemMessage(loadError);
        return nullptr;
    }
    std::unique_ptr<PluginLibrary> library(new PluginLibrary);
    library->m_path = path;
    library->m_module = module;
    const char *missing = library->m_entry.resolve([module](const char *name) {
        // Through the generic function pointer type, as GetProcAddress is meant to be used.
        return reinterpret_cast<void (*)()>(GetProcAddress(module, name));
    });
    if (missing) {
        *error =
            "\"" + shown + "\" is not a Plinthar plug-in: it has no entry point " + missing + ".";
        return nullptr; // not ours: it is unloaded again
    }
    // Pinned: the library's code stays mapped after it is released (see the class).
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(library->m_entry.OnCommand), &pinned);
    return library;
}

PluginLibrary::~PluginLibrary()
{
    if (m_module)
        FreeLibrary(m_module);
}

std::wstring PluginLibrary::loadString(UINT id) const
{
    std::array<wchar_t, 1024> text{};
    const int length = LoadStringW(m_module, id, text.data(), int(text.size()));
    return std::wstring(text.data(), std::size_t(std::max(length, 0)));
}

std::wstring PluginLibrary::menuText() const
{
    return loadString(m_entry.GetMenuTextID());
}

std::wstring PluginLibrary::statusText() const
{
    return loadString(m_entry.GetStatusMessageID());
}

std::wstring PluginLibrary::version(HWND view) const
{
    std::array<char, 256> buffer{};
    m_entry.PlugInProc(view, PLUGIN_QUERY_VERSION, buffer.size(),
                       reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return AnsiText::wide(buffer.data());
}

bool PluginLibrary::queryStatus(HWND view) const
{
    BOOL unused = 0;
    return m_entry.QueryStatus(view, &unused) != 0;
}

PluginLibrary::Bitmap PluginLibrary::toolbarBitmap(HWND view, int depth,
                                                   ToolbarBitmap::Look look) const
{
    const std::uintptr_t bits = ToolbarBitmap::queryBits(depth, false, look);
    Bitmap found;
    const auto id = m_entry.PlugInProc(view, PLUGIN_QUERY_BITMAP, bits, 0);
    if (id > 0 && id <= 0xFFFF) {
        found.bitmap = static_cast<HBITMAP>(
            LoadImageW(m_module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        found.mask = std::uint32_t(m_entry.PlugInProc(view, PLUGIN_QUERY_MASK, bits, 0));
    }
    if (!found.bitmap && look == ToolbarBitmap::Look::Normal) {
        // A plug-in that answers no query still names its bitmap.
        found.bitmap =
            static_cast<HBITMAP>(LoadImageW(m_module, MAKEINTRESOURCEW(m_entry.GetBitmapID()),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        found.mask = 0;
    }
    return found;
}
