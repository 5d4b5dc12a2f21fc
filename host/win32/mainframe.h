#pragma once

#include "editorview.h"
#include "host/pluginset.h"
#include "pluginlibrary.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/**
 * plinthar.exe's main frame: a top-level window of class "PlintharMainFrame3" holding the
 * editor view, the File, Edit and Plug-ins menus, a toolbar with each plug-in's bitmap and a
 * status bar that shows a plug-in's status text while its menu entry is chosen.
 */
class MainFrame
{
public:
    /// One plug-in as the frame shows it.
    struct InstalledPlugin
    {
        std::unique_ptr<PluginLibrary> library;
        std::uint32_t commandId = 0;
    };

    /// Creates the (hidden) frame; throws std::runtime_error when it cannot.
    MainFrame();
    /// Releases and unloads every plug-in before the view goes away.
    ~MainFrame();
    MainFrame(const MainFrame &) = delete;
    MainFrame &operator=(const MainFrame &) = delete;

    HWND handle() const { return m_handle; }
    EditorView &view() { return *m_view; }
    HWND toolBar() const { return m_toolBar; }
    HWND statusBar() const { return m_statusBar; }

    /// Loads every "*.dll" in @p folder, in name order; answers the errors, one per library.
    std::vector<std::string> loadPluginFolder(const std::wstring &folder);
    /// Loads the plug-in @p path, gives it a command id, a menu entry and a toolbar button and
    /// tells it its id; false with @p error set when it cannot be loaded or is not a plug-in.
    bool loadPlugin(const std::wstring &path, std::string *error);
    const std::vector<InstalledPlugin> &plugins() const { return m_plugins.all(); }

    /// Invokes plug-in @p index's command on the view as one undo step.
    void runCommand(std::size_t index);
    /// Asks plug-in @p index to confirm (query 0x907), then releases and unloads it; false
    /// when the user declined or a command is running.
    bool uninstallPlugin(std::size_t index);

    /// Opens @p path into the view, its bytes as they are; false with @p error set (and the
    /// view unchanged) when it cannot be read or shown.
    bool openDocument(const std::wstring &path, std::string *error);
    /// Writes the document's bytes to @p path, which becomes the document's file, and marks it
    /// unmodified; false with @p error set when it cannot be written.
    bool writeDocument(const std::wstring &path, std::string *error);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(UINT id);
    void layout();
    void updateCommandState(std::uint32_t commandId);
    void rebuildPluginControls();
    void showStatus(const std::wstring &text);
    void updateTitle();
    bool maybeSave();
    bool save(bool choosePath);
    void open();

    HWND m_handle = nullptr;
    HWND m_toolBar = nullptr;
    HWND m_statusBar = nullptr;
    HMENU m_pluginMenu = nullptr;
    HIMAGELIST m_images[3] = {}; // by ToolbarBitmap::Look: normal, disabled, highlighted
    std::unique_ptr<EditorView> m_view;
    std::wstring m_path;
    std::wstring m_tipText; // the toolbar tip shown now
    PluginSet<InstalledPlugin, EditorView> m_plugins;
};
