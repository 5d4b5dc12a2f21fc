#include "platform/win32/controls.h"

#include <cwchar>

namespace platform {

namespace {

// Whether a font family named @p face with the character set @p charset is installed.
bool fontInstalled(HDC dc, const wchar_t *face, BYTE charset)
{
    LOGFONTW query = {};
    query.lfCharSet = charset;
    std::wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(
        dc, &query,
        [](const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found) CALLBACK -> int {
            *reinterpret_cast<bool *>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

} // namespace

HINSTANCE ownModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ownModule), &module);
    return module;
}

std::runtime_error windowsFailure(const std::string &what)
{
    const DWORD error = GetLastError();
    return std::runtime_error(what + " (Windows error " + std::to_string(error) + ")");
}

void registerWindowClass(const wchar_t *name, WNDPROC procedure)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ownModule();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw windowsFailure("A window class could not be registered");
}

int screenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HWND createControl(HWND parent, int id, const char *className, const wchar_t *text, DWORD style,
                   DWORD exStyle, POINT at, SIZE size, const char *what, bool ansi)
{
    const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    style |= WS_CHILD | WS_VISIBLE;
    const HWND control =
        ansi ? CreateWindowExA(exStyle, className, "", style, at.x, at.y, size.cx, size.cy, parent,
                               menu, ownModule(), nullptr)
             : CreateWindowExW(exStyle, utf16(className).c_str(), text, style, at.x, at.y, size.cx,
                               size.cy, parent, menu, ownModule(), nullptr);
    if (!control)
        throw windowsFailure(std::string(what) + " could not be created");
    return control;
}

Font createFont(std::initializer_list<const wchar_t *> faces, int pixels, bool fixedPitch)
{
    LOGFONTW font = {};
    font.lfHeight = -pixels;
    font.lfWeight = FW_NORMAL;
    font.lfPitchAndFamily = fixedPitch ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
    font.lfCharSet = DEFAULT_CHARSET;
    const HDC screen = GetDC(nullptr);
    for (const wchar_t *face : faces) {
        if (screen && fontInstalled(screen, face, SHIFTJIS_CHARSET)) {
            std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
            font.lfCharSet = SHIFTJIS_CHARSET;
            break;
        }
    }
    if (screen)
        ReleaseDC(nullptr, screen);
    if (font.lfFaceName[0] == L'\0' && !fixedPitch) {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            std::wcsncpy(font.lfFaceName, metrics.lfMessageFont.lfFaceName, LF_FACESIZE - 1);
    }
    return Font(CreateFontIndirectW(&font));
}

void fitComboBox(HWND comboBox, int height)
{
    RECT closed = {};
    GetWindowRect(comboBox, &closed);
    LRESULT field = SendMessageW(comboBox, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int pass = 0; pass < 2 && closed.bottom - closed.top > height; ++pass) {
        field -= (closed.bottom - closed.top) - height;
        SendMessageW(comboBox, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        GetWindowRect(comboBox, &closed); // the system may keep it higher, for the font
    }
}

std::wstring utf16(std::string_view utf8)
{
    const int count = static_cast<int>(utf8.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), count, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), count, text.data(), size);
    return text;
}

} // namespace platform
