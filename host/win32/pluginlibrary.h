#pragma once

#include "host/toolbarbitmap.h"
#include "plinthar/plintharplugin.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

/// One loaded plug-in library: its seven entry points and its resources. Unloading it
/// (destruction) drops the editor's reference; the code stays mapped for the rest of the
/// process, since a plug-in may have left callbacks behind in libraries that outlive it (the
/// Ruby runtime).
class PluginLibrary
{
public:
    /// A toolbar bitmap and the colour that is transparent in it.
    struct Bitmap
    {
        HBITMAP bitmap = nullptr; ///< owned by the caller (DeleteObject)
        std::uint32_t mask = 0;   ///< 0x00BBGGRR; see ToolbarBitmap::hasMask
    };

    /// Loads @p path and resolves the entry points; nullptr with @p error set (in the
    /// system's code page) when the file cannot be loaded or is not a plug-in.
    static std::unique_ptr<PluginLibrary> open(const std::wstring &path, std::string *error);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary &) = delete;
    PluginLibrary &operator=(const PluginLibrary &) = delete;

    const std::wstring &path() const { return m_path; }
    HMODULE module() const { return m_module; }

    /// The menu text, from the library's string table.
    std::wstring menuText() const;
    /// The status-bar text, from the library's string table.
    std::wstring statusText() const;
    /// The version text the plug-in answers (query 0x904).
    std::wstring version(HWND view) const;
    /// The 16-pixel toolbar bitmap of @p look for a screen of @p depth bits per pixel, chosen
    /// with queries 0x908 and 0x909; the bitmap GetBitmapID names when the plug-in answers no
    /// query; a null bitmap when there is none.
    Bitmap toolbarBitmap(HWND view, int depth, ToolbarBitmap::Look look) const;

    void onCommand(HWND view) const { m_entry.OnCommand(view); }
    bool queryStatus(HWND view) const;
    void onEvents(HWND view, std::uint32_t events, std::intptr_t argument) const
    {
        m_entry.OnEvents(view, events, argument);
    }
    std::intptr_t plugInProc(HWND view, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) const
    {
        return m_entry.PlugInProc(view, message, wParam, lParam);
    }

private:
    PluginLibrary() = default;
    std::wstring loadString(UINT id) const;

    std::wstring m_path;
    HMODULE m_module = nullptr;
    PlintharEntryPoints m_entry;
};
