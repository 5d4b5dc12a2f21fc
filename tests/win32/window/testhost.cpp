#include "testhost.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <type_traits>

namespace {

constexpr wchar_t FrameClass[] = L"PlintharMainFrame3";
constexpr wchar_t ViewClass[] = L"PlintharTestView";
constexpr UINT RunAction = WM_APP + 1; // lParam: a std::function<void()> *, hops in wParam

constexpr wchar_t ShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

LRESULT CALLBACK frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClasses(WNDPROC viewProc)
{
    static const bool registered = [viewProc] {
        WNDCLASSEXW frame = {};
        frame.cbSize = sizeof frame;
        frame.lpfnWndProc = frameProc;
        frame.hInstance = GetModuleHandleW(nullptr);
        frame.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        frame.lpszClassName = FrameClass;
        WNDCLASSEXW view = frame;
        view.lpfnWndProc = viewProc;
        view.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        view.lpszClassName = ViewClass;
        return RegisterClassExW(&frame) && RegisterClassExW(&view);
    }();
    if (!registered)
        throw std::runtime_error("the test host's window classes could not be registered");
}

std::wstring wide(const std::string &text)
{
    std::wstring out(text.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(std::max(n, 0)));
    return out;
}

std::string ansi(const std::wstring &text)
{
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::string windowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

} // namespace

TestHost::TestHost()
{
    registerClasses(viewProc);
    m_frame = CreateWindowExW(0, FrameClass, L"document.txt - Plinthar",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 30, 720, 520, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    m_view = CreateWindowExW(WS_EX_CLIENTEDGE, ViewClass, nullptr, WS_CHILD | WS_VISIBLE, 10, 10,
                             600, 400, m_frame, nullptr, GetModuleHandleW(nullptr), this);
    if (!m_frame || !m_view)
        throw std::runtime_error("the test host's windows could not be created");
    ShowWindow(m_frame, SW_SHOW);
    SetActiveWindow(m_frame);
}

TestHost::~TestHost()
{
    discardPosted();
    DestroyWindow(m_frame);
}

void TestHost::placeView(const RECT &rect)
{
    MoveWindow(m_view, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void TestHost::post(std::function<void()> action, int hops)
{
    auto *posted = new std::function<void()>(std::move(action));
    if (!PostMessageW(m_view, RunAction, static_cast<WPARAM>(hops),
                      reinterpret_cast<LPARAM>(posted))) {
        delete posted;
        throw std::runtime_error("an action could not be posted");
    }
}

void TestHost::discardPosted()
{
    MSG message = {};
    while (PeekMessageW(&message, m_view, RunAction, RunAction, PM_REMOVE)) {
        if (message.message == WM_QUIT) { // retrieved whatever the filter: it stays
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        delete reinterpret_cast<std::function<void()> *>(message.lParam);
    }
}

LRESULT CALLBACK TestHost::viewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(
                              reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams));
    auto *host = reinterpret_cast<TestHost *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!host)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == RunAction) {
        std::unique_ptr<std::function<void()>> action(
            reinterpret_cast<std::function<void()> *>(lParam));
        if (wParam > 1) {
            host->post(std::move(*action), static_cast<int>(wParam) - 1);
            return 0;
        }
        (*action)();
        return 0;
    }
    if (window != host->m_view)
        return DefWindowProcW(window, message, wParam, lParam); // still being created
    if (message == WM_PAINT) {
        // The document, for whoever looks at the host.
        PAINTSTRUCT paint = {};
        const HDC dc = BeginPaint(window, &paint);
        RECT client = {};
        GetClientRect(window, &client);
        InflateRect(&client, -4, -4);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        DrawTextA(dc, host->document.c_str(), -1, &client, DT_NOPREFIX | DT_EXPANDTABS);
        EndPaint(window, &paint);
        return 0;
    }
    return host->answer(message, wParam, lParam);
}

LRESULT TestHost::answer(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case MSG_UPDATE_COMMAND:
    case MSG_GET_SEL_TYPE:
    case MSG_GET_SEL_TEXT:
        return ViewDocument::answer(message, wParam, lParam);
    case MSG_EXEC_COMMAND:
    case MSG_INSERT_STRING:
        InvalidateRect(m_view, nullptr, TRUE); // the document changes: show it again
        return ViewDocument::answer(message, wParam, lParam);
    default:
        return DefWindowProcW(m_view, message, wParam, lParam);
    }
}

namespace {

MessageBoxAnswerer *currentAnswerer = nullptr;

} // namespace

MessageBoxAnswerer::MessageBoxAnswerer()
{
    m_hook = SetWindowsHookExW(WH_CBT, hookProc, nullptr, GetCurrentThreadId());
    if (!m_hook)
        throw std::runtime_error("the message box hook could not be set");
    currentAnswerer = this;
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    currentAnswerer = nullptr;
    UnhookWindowsHookEx(m_hook);
}

LRESULT CALLBACK MessageBoxAnswerer::hookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && currentAnswerer) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(box, className, 16);
        if (std::wcscmp(className, L"#32770") == 0) {
            // The box's text is its static control 0xFFFF (MessageBox's own template).
            currentAnswerer->boxes.push_back(
                {windowText(GetDlgItem(box, 0xFFFF)), windowText(box)});
            PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(currentAnswerer->answer), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const KorvexLibrary &KorvexLibrary::get()
{
    static const KorvexLibrary library = [] {
        wchar_t program[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, program, MAX_PATH);
        std::wstring path = program;
        path.erase(path.find_last_of(L"\\/") + 1);
        path += L"plugins\\Korvex.dll";
        KorvexLibrary loaded;
        loaded.module = LoadLibraryW(path.c_str());
        if (!loaded.module)
            throw std::runtime_error("Korvex.dll could not be loaded from " + ansi(path));
        const char *missing = loaded.resolve([&loaded](const char *name) {
            // Through the generic function pointer type, as GetProcAddress is meant to be used.
            return reinterpret_cast<void (*)()>(GetProcAddress(loaded.module, name));
        });
        if (missing)
            throw std::runtime_error(std::string("Korvex.dll lacks ") + missing);
        return loaded;
    }();
    return library;
}

PrivateDocuments::PrivateDocuments()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder =
        std::wstring(temp) + L"korvex-documents-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    m_path = ansi(folder);

    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, ShellFolders, 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("the user's shell folders cannot be set");
    wchar_t saved[1024] = {};
    DWORD size = sizeof saved - sizeof(wchar_t);
    if (RegQueryValueExW(key, L"Personal", nullptr, &m_savedType, reinterpret_cast<BYTE *>(saved),
                         &size) == ERROR_SUCCESS)
        m_saved = saved;
    const LSTATUS set =
        RegSetValueExW(key, L"Personal", 0, REG_SZ, reinterpret_cast<const BYTE *>(folder.c_str()),
                       static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    wchar_t documents[MAX_PATH] = {};
    if (set != ERROR_SUCCESS ||
        FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)) ||
        folder != documents)
        throw std::runtime_error("the documents folder could not be made " + m_path);
}

PrivateDocuments::~PrivateDocuments()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ShellFolders, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        if (m_saved)
            RegSetValueExW(key, L"Personal", 0, m_savedType,
                           reinterpret_cast<const BYTE *>(m_saved->c_str()),
                           static_cast<DWORD>((m_saved->size() + 1) * sizeof(wchar_t)));
        else
            RegDeleteValueW(key, L"Personal");
        RegCloseKey(key);
    }
    removeTree(m_path);
}

void removeTree(const std::string &path)
{
    const std::wstring folder = wide(path);
    WIN32_FIND_DATAW entry = {};
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = folder + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(ansi(child));
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}
