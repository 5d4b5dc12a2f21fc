#include "mainframe.h"

#include "ansitext.h"
#include "platform/win32/windowobject.h"
#include "pluginsdialog.h"
#include "resourceids.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr wchar_t FrameClass[] = L"PlintharMainFrame3";
constexpr int ButtonSize = 16;

HINSTANCE instance()
{
    return GetModuleHandleW(nullptr);
}

std::wstring fileName(const std::wstring &path)
{
    return path.substr(path.find_last_of(L"\\/") + 1);
}

/// A copy of @p bitmap in which @p mask's pixels show the button face, for a toolbar that
/// draws images as they are.
HBITMAP onButtonFace(HBITMAP bitmap, std::uint32_t mask)
{
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    const HDC screen = GetDC(nullptr);
    const HDC from = CreateCompatibleDC(screen);
    const HDC to = CreateCompatibleDC(screen);
    const HBITMAP copy = CreateCompatibleBitmap(screen, ButtonSize, ButtonSize);
    const HGDIOBJ oldFrom = SelectObject(from, bitmap);
    const HGDIOBJ oldTo = SelectObject(to, copy);
    RECT all = {0, 0, ButtonSize, ButtonSize};
    FillRect(to, &all, GetSysColorBrush(COLOR_BTNFACE));
    if (ToolbarBitmap::hasMask(mask))
        TransparentBlt(to, 0, 0, ButtonSize, ButtonSize, from, 0, 0, info.bmWidth, info.bmHeight,
                       mask);
    else
        StretchBlt(to, 0, 0, ButtonSize, ButtonSize, from, 0, 0, info.bmWidth, info.bmHeight,
                   SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    return copy;
}

} // namespace

MainFrame::MainFrame()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW frame = {};
        frame.cbSize = sizeof frame;
        frame.lpfnWndProc = &MainFrame::windowProc;
        frame.hInstance = instance();
        frame.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        frame.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        frame.lpszClassName = FrameClass;
        return RegisterClassExW(&frame) != 0;
    }();
    if (!registered)
        throw std::runtime_error("The editor's window class could not be registered.");

    const HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, IDM_OPEN, L"&Open...");
    AppendMenuW(file, MF_STRING, IDM_SAVE, L"&Save");
    AppendMenuW(file, MF_STRING, IDM_SAVE_AS, L"Save &As...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, IDM_EXIT, L"E&xit");
    const HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, IDM_UNDO, L"&Undo");
    AppendMenuW(edit, MF_STRING, IDM_SELECT_ALL, L"Select &All");
    m_pluginMenu = CreatePopupMenu();
    AppendMenuW(m_pluginMenu, MF_STRING, IDM_PLUGINS, L"&Plug-ins...");
    const HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_pluginMenu), L"&Plug-ins");

    if (!CreateWindowExW(0, FrameClass, L"Plinthar", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         CW_USEDEFAULT, CW_USEDEFAULT, 720, 520, nullptr, bar, instance(), this)) {
        DestroyMenu(bar);
        throw std::runtime_error("The editor's main frame could not be created.");
    }
    m_toolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, 0, 0, 0, 0,
                                m_handle, nullptr, instance(), nullptr);
    SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(m_toolBar, TB_SETBITMAPSIZE, 0, MAKELPARAM(ButtonSize, ButtonSize));
    m_statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                  m_handle, nullptr, instance(), nullptr);
    m_view = std::make_unique<EditorView>(m_handle);
    m_view->setUpdateCommandHandler([this](std::uint32_t id) { updateCommandState(id); });
    m_view->setChangeHandler([this] { updateTitle(); });
    layout();
    updateTitle();
}

MainFrame::~MainFrame()
{
    m_plugins.releaseAll(*m_view);
    m_view.reset();
    if (IsWindow(m_handle)) {
        SetWindowLongPtrW(m_handle, GWLP_USERDATA, 0);
        DestroyWindow(m_handle);
    }
    for (const HIMAGELIST list : m_images) {
        if (list)
            ImageList_Destroy(list);
    }
}

LRESULT CALLBACK MainFrame::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = platform::windowObject(window, message, lParam, &MainFrame::m_handle);
    if (!self || !self->m_view)
        return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (const std::exception &failure) {
        // No failure leaves a window procedure.
        MessageBoxW(window, AnsiText::wide(failure.what()).c_str(), L"Plinthar",
                    MB_OK | MB_ICONERROR);
        return 0;
    }
}

LRESULT MainFrame::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        layout();
        return 0;
    case WM_SETFOCUS:
        SetFocus(m_view->handle());
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam));
        return 0;
    case WM_MENUSELECT: {
        std::wstring status;
        for (const InstalledPlugin &plugin : m_plugins.all()) {
            if (plugin.commandId == LOWORD(wParam) && !(HIWORD(wParam) & MF_POPUP))
                status = plugin.library->statusText();
        }
        showStatus(status);
        return 0;
    }
    case WM_NOTIFY: {
        const auto *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header->code == TTN_GETDISPINFOW) {
            auto *tip = reinterpret_cast<NMTTDISPINFOW *>(lParam);
            for (const InstalledPlugin &plugin : m_plugins.all()) {
                if (plugin.commandId == tip->hdr.idFrom) {
                    m_tipText = plugin.library->menuText();
                    tip->lpszText = m_tipText.data();
                    showStatus(plugin.library->statusText());
                }
            }
        }
        return 0;
    }
    case WM_CLOSE:
        if (maybeSave())
            DestroyWindow(m_handle);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(m_handle, message, wParam, lParam);
    }
}

void MainFrame::onCommand(UINT id)
{
    switch (id) {
    case IDM_OPEN:
        open();
        return;
    case IDM_SAVE:
        save(false);
        return;
    case IDM_SAVE_AS:
        save(true);
        return;
    case IDM_EXIT:
        PostMessageW(m_handle, WM_CLOSE, 0, 0);
        return;
    case IDM_UNDO:
        m_view->undo();
        return;
    case IDM_SELECT_ALL:
        SendMessageW(m_view->edit(), EM_SETSEL, 0, -1);
        return;
    case IDM_PLUGINS:
        PluginsDialog(*this).exec();
        return;
    default:
        if (const std::optional<std::size_t> index = m_plugins.indexOf(id))
            runCommand(*index);
    }
}

void MainFrame::layout()
{
    SendMessageW(m_toolBar, TB_AUTOSIZE, 0, 0);
    SendMessageW(m_statusBar, WM_SIZE, 0, 0);
    RECT client = {};
    GetClientRect(m_handle, &client);
    RECT tools = {};
    GetWindowRect(m_toolBar, &tools);
    RECT status = {};
    GetWindowRect(m_statusBar, &status);
    const int top = tools.bottom - tools.top;
    const int bottom = client.bottom - (status.bottom - status.top);
    MoveWindow(m_view->handle(), 0, top, client.right, std::max(bottom - top, 0), TRUE);
}

std::vector<std::string> MainFrame::loadPluginFolder(const std::wstring &folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry = {};
    const HANDLE search = FindFirstFileW((folder + L"\\*.dll").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(entry.cFileName);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> errors;
    for (const std::wstring &name : names) {
        std::string error;
        if (!loadPlugin(folder + L"\\" + name, &error))
            errors.push_back(error);
    }
    return errors;
}

bool MainFrame::loadPlugin(const std::wstring &path, std::string *error)
{
    wchar_t full[MAX_PATH * 4] = {};
    if (!GetFullPathNameW(path.c_str(), DWORD(std::size(full)), full, nullptr)) {
        *error = "Cannot load the plug-in \"" + AnsiText::bytes(path) +
                 "\": " + AnsiText::systemMessage(GetLastError());
        return false;
    }
    std::unique_ptr<PluginLibrary> library = PluginLibrary::open(full, error);
    if (!library)
        return false;
    for (const InstalledPlugin &installed : m_plugins.all()) {
        if (installed.library->module() == library->module()) {
            // The same library under another name: it has one set of state, for one entry.
            *error = "The plug-in \"" + AnsiText::bytes(full) + "\" is already loaded.";
            return false;
        }
    }
    InstalledPlugin plugin;
    plugin.commandId = m_plugins.nextCommandId();
    plugin.library = std::move(library);
    m_plugins.add(std::move(plugin), *m_view, [this] { rebuildPluginControls(); });
    return true;
}

void MainFrame::rebuildPluginControls()
{
    // The Plug-ins menu: one entry per plug-in, a separator, then the dialog's entry.
    while (GetMenuItemCount(m_pluginMenu) > 0)
        DeleteMenu(m_pluginMenu, 0, MF_BYPOSITION);
    for (const InstalledPlugin &plugin : m_plugins.all())
        AppendMenuW(m_pluginMenu, MF_STRING, plugin.commandId, plugin.library->menuText().c_str());
    if (!m_plugins.all().empty())
        AppendMenuW(m_pluginMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m_pluginMenu, MF_STRING, IDM_PLUGINS, L"&Plug-ins...");
    DrawMenuBar(m_handle);

    // The toolbar: one button per plug-in, with its bitmap of each look for this screen's
    // depth; a look the plug-in has no bitmap for shows the normal one.
    while (SendMessageW(m_toolBar, TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessageW(m_toolBar, TB_DELETEBUTTON, 0, 0);
    for (HIMAGELIST &list : m_images) {
        if (list)
            ImageList_Destroy(list);
        list = ImageList_Create(ButtonSize, ButtonSize, ILC_COLOR24, 0, 4);
    }
    const HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    using ToolbarBitmap::Look;
    for (const InstalledPlugin &plugin : m_plugins.all()) {
        int image = I_IMAGENONE;
        HBITMAP faces[3] = {};
        for (const Look look : {Look::Normal, Look::Disabled, Look::Highlighted}) {
            const PluginLibrary::Bitmap found =
                plugin.library->toolbarBitmap(m_view->handle(), depth, look);
            if (found.bitmap) {
                faces[int(look)] = onButtonFace(found.bitmap, found.mask);
                DeleteObject(found.bitmap);
            }
        }
        if (faces[int(Look::Normal)]) {
            for (int look = 0; look < 3; ++look)
                image = ImageList_Add(
                    m_images[look], faces[look] ? faces[look] : faces[int(Look::Normal)], nullptr);
        }
        for (const HBITMAP face : faces) {
            if (face)
                DeleteObject(face);
        }
        TBBUTTON button = {};
        button.iBitmap = image;
        button.idCommand = int(plugin.commandId);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        SendMessageW(m_toolBar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageW(m_toolBar, TB_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(m_images[int(Look::Normal)]));
    SendMessageW(m_toolBar, TB_SETDISABLEDIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(m_images[int(Look::Disabled)]));
    SendMessageW(m_toolBar, TB_SETHOTIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(m_images[int(Look::Highlighted)]));
    layout();
}

void MainFrame::updateCommandState(std::uint32_t commandId)
{
    for (const InstalledPlugin &plugin : m_plugins.all()) {
        if (plugin.commandId != commandId)
            continue;
        const bool enabled = plugin.library->queryStatus(m_view->handle());
        EnableMenuItem(m_pluginMenu, commandId, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        SendMessageW(m_toolBar, TB_ENABLEBUTTON, commandId, MAKELPARAM(enabled ? TRUE : FALSE, 0));
    }
}

void MainFrame::runCommand(std::size_t index)
{
    m_plugins.run(index, *m_view);
}

bool MainFrame::uninstallPlugin(std::size_t index)
{
    if (!m_plugins.uninstall(index, *m_view))
        return false;
    rebuildPluginControls();
    return true;
}

bool MainFrame::openDocument(const std::wstring &path, std::string *error)
{
    const std::string shown = AnsiText::bytes(path);
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = "Cannot open \"" + shown + "\": " + AnsiText::systemMessage(GetLastError());
        return false;
    }
    std::string bytes;
    LARGE_INTEGER size = {};
    bool read = GetFileSizeEx(file, &size) != 0;
    // The control holds far less than this; a larger file is refused before it is read.
    constexpr LONGLONG Largest = LONGLONG(256) << 20;
    if (read && size.QuadPart > Largest) {
        CloseHandle(file);
        *error = "Cannot read \"" + shown + "\": it is larger than the editor holds (256 MB)";
        return false;
    }
    if (read) {
        bytes.resize(std::size_t(size.QuadPart));
        DWORD got = 0;
        read = bytes.empty() || (ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr) &&
                                 got == bytes.size());
    }
    const DWORD readError = GetLastError();
    CloseHandle(file);
    if (!read) {
        *error = "Cannot read \"" + shown + "\": " + AnsiText::systemMessage(readError);
        return false;
    }
    std::string reason;
    if (!m_view->loadBytes(bytes, &reason)) {
        *error = "Cannot open \"" + shown + "\": " + reason;
        return false;
    }
    m_path = path;
    updateTitle();
    return true;
}

bool MainFrame::writeDocument(const std::wstring &path, std::string *error)
{
    const std::string bytes = m_view->bytes();
    // Written beside the file first, so a failed write leaves the old file whole.
    const std::wstring temporary = path + L".plinthar-save";
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        (bytes.empty() || WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr)) &&
        written == bytes.size() && FlushFileBuffers(file);
    const DWORD writeError = GetLastError();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!ok || !MoveFileExW(temporary.c_str(), path.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD failure = ok ? GetLastError() : writeError;
        DeleteFileW(temporary.c_str());
        *error =
            "Cannot write \"" + AnsiText::bytes(path) + "\": " + AnsiText::systemMessage(failure);
        return false;
    }
    m_path = path;
    m_view->setModified(false);
    updateTitle();
    return true;
}

void MainFrame::showStatus(const std::wstring &text)
{
    SendMessageW(m_statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainFrame::updateTitle()
{
    const std::wstring name = m_path.empty() ? L"Untitled" : fileName(m_path);
    const std::wstring title = (m_view->isModified() ? L"*" : L"") + name + L" - Plinthar";
    SetWindowTextW(m_handle, title.c_str());
}

bool MainFrame::maybeSave()
{
    if (!m_view->isModified())
        return true;
    switch (MessageBoxW(m_handle, L"The document has changed. Save the changes?", L"Plinthar",
                        MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        return save(false);
    case IDNO:
        return true;
    default:
        return false;
    }
}

bool MainFrame::save(bool choosePath)
{
    std::wstring path = m_path;
    if (choosePath || path.empty()) {
        wchar_t chosen[MAX_PATH * 4] = {};
        OPENFILENAMEW dialog = {};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = m_handle;
        dialog.lpstrFile = chosen;
        dialog.nMaxFile = DWORD(std::size(chosen));
        dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        if (!GetSaveFileNameW(&dialog))
            return false;
        path = chosen;
    }
    std::string error;
    if (!writeDocument(path, &error)) {
        MessageBoxW(m_handle, AnsiText::wide(error).c_str(), L"Plinthar", MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

void MainFrame::open()
{
    if (!maybeSave())
        return;
    wchar_t chosen[MAX_PATH * 4] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_handle;
    dialog.lpstrFile = chosen;
    dialog.nMaxFile = DWORD(std::size(chosen));
    dialog.Flags = OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameW(&dialog))
        return;
    std::string error;
    if (!openDocument(chosen, &error))
        MessageBoxW(m_handle, AnsiText::wide(error).c_str(), L"Plinthar", MB_OK | MB_ICONERROR);
}
