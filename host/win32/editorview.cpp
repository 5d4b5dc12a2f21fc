#include "editorview.h"

#include "ansitext.h"
#include "platform/win32/windowobject.h"
#include "plinthar/plintharplugin.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr wchar_t ViewClass[] = L"PlintharView";

HINSTANCE instance()
{
    return GetModuleHandleW(nullptr);
}

/// @p text with every break CR LF, as the control keeps it.
std::string withCrLf(std::string_view text)
{
    if (!LineBreaks::hasForeignBreak(text, LineEnding::CrLf))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    LineBreaks::convert(text, LineEnding::CrLf, std::size_t(1) << 20,
                        [&out](std::string_view piece) { out += piece; });
    return out;
}

} // namespace

EditorView::EditorView(HWND frame)
{
    static const bool registered = [] {
        WNDCLASSEXW view = {};
        view.cbSize = sizeof view;
        view.lpfnWndProc = &EditorView::windowProc;
        view.hInstance = instance();
        view.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        view.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        view.lpszClassName = ViewClass;
        return RegisterClassExW(&view) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered ||
        !CreateWindowExW(0, ViewClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                         frame, nullptr, instance(), this))
        throw std::runtime_error("The editor view could not be created.");
    m_edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", nullptr,
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                 ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
                             0, 0, 0, 0, m_handle, nullptr, instance(), nullptr);
    if (!m_edit) {
        DestroyWindow(m_handle);
        throw std::runtime_error("The editor's text control could not be created.");
    }
    SendMessageW(m_edit, EM_SETLIMITTEXT, 0, 0); // as much as the control holds
    LOGFONTW font = {};
    font.lfHeight = -13;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::wcscpy(font.lfFaceName, L"Courier New");
    m_font = CreateFontIndirectW(&font);
    SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
}

EditorView::~EditorView()
{
    if (IsWindow(m_handle)) {
        SetWindowLongPtrW(m_handle, GWLP_USERDATA, 0);
        DestroyWindow(m_handle);
    }
    if (m_font)
        DeleteObject(m_font);
}

void EditorView::setUpdateCommandHandler(std::function<void(std::uint32_t)> handler)
{
    m_updateCommand = std::move(handler);
}

void EditorView::setChangeHandler(std::function<void()> handler)
{
    m_changed = std::move(handler);
}

LRESULT CALLBACK EditorView::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = platform::windowObject(window, message, lParam, &EditorView::m_handle);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (const std::exception &failure) {
        // No failure leaves a window procedure. A plug-in told that the selection cannot be
        // read (a negative length) removes nothing; a text that could not be inserted is
        // reported, and the command's undo step still brings the document back.
        if (message == MSG_INSERT_STRING)
            MessageBoxW(
                window,
                AnsiText::wide(std::string("The text could not be inserted: ") + failure.what())
                    .c_str(),
                L"Plinthar", MB_OK | MB_ICONERROR);
        return message == MSG_GET_SEL_TEXT ? -1 : 0;
    } catch (...) {
        return message == MSG_GET_SEL_TEXT ? -1 : 0;
    }
}

LRESULT EditorView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case MSG_UPDATE_COMMAND:
    case MSG_GET_SEL_TEXT:
    case MSG_EXEC_COMMAND:
    case MSG_INSERT_STRING:
    case MSG_GET_SEL_TYPE:
        return answerViewMessage(message, wParam, lParam);
    case WM_SIZE:
        MoveWindow(m_edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(m_edit);
        return 0;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == m_edit && HIWORD(wParam) == EN_CHANGE && m_changed)
            m_changed();
        return 0;
    default:
        return DefWindowProcW(m_handle, message, wParam, lParam);
    }
}

std::wstring EditorView::text() const
{
    const int length = GetWindowTextLengthW(m_edit);
    std::wstring text(std::size_t(std::max(length, 0)) + 1, L'\0');
    text.resize(std::size_t(std::max(GetWindowTextW(m_edit, text.data(), length + 1), 0)));
    return text;
}

std::pair<DWORD, DWORD> EditorView::charSelection() const
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {std::min(start, end), std::max(start, end)};
}

bool EditorView::loadBytes(std::string_view bytes, std::string *error)
{
    if (std::memchr(bytes.data(), '\0', bytes.size()) != nullptr) {
        *error = "it holds NUL bytes, which the editor cannot show";
        return false;
    }
    const std::string viewText = withCrLf(bytes);
    const std::wstring shown = AnsiText::wide(viewText);
    // The control keeps characters, not bytes: a document must come back as it went in.
    if (AnsiText::bytes(shown) != viewText) {
        *error = "it holds bytes that are no text in the system's code page (" +
                 std::to_string(GetACP()) + "), which the editor cannot keep";
        return false;
    }
    if (!SetWindowTextW(m_edit, shown.c_str())) {
        *error = "the editor cannot hold a text of this size";
        return false;
    }
    // A document without breaks takes the system's own.
    const bool hasBreak = bytes.find_first_of("\r\n") != std::string_view::npos;
    m_lineEnding = hasBreak ? LineBreaks::detect(bytes) : LineEnding::CrLf;
    SendMessageW(m_edit, EM_EMPTYUNDOBUFFER, 0, 0);
    setModified(false);
    SendMessageW(m_edit, EM_SETSEL, 0, 0);
    SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
    return true;
}

std::string EditorView::viewBytes() const
{
    return AnsiText::bytes(text());
}

std::string EditorView::bytes() const
{
    std::string view = viewBytes();
    if (m_lineEnding == LineEnding::CrLf && !LineBreaks::hasForeignBreak(view, LineEnding::CrLf))
        return view;
    std::string out;
    out.reserve(view.size());
    LineBreaks::convert(view, m_lineEnding, std::size_t(1) << 20,
                        [&out](std::string_view piece) { out += piece; });
    return out;
}

std::pair<std::size_t, std::size_t> EditorView::selectionRange() const
{
    const std::wstring all = text();
    const auto [start, end] = charSelection();
    const std::wstring_view view(all);
    const std::size_t from =
        AnsiText::bytes(view.substr(0, std::min<std::size_t>(start, all.size()))).size();
    const std::size_t to =
        AnsiText::bytes(view.substr(0, std::min<std::size_t>(end, all.size()))).size();
    return {from, to};
}

void EditorView::selectRange(std::size_t start, std::size_t end)
{
    const std::string all = viewBytes();
    const auto chars = [&all](std::size_t offset) {
        return AnsiText::wide(std::string_view(all).substr(0, std::min(offset, all.size()))).size();
    };
    SendMessageW(m_edit, EM_SETSEL, chars(start), LPARAM(chars(end)));
    SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
}

void EditorView::beginUndoAction()
{
    if (m_commandDepth++ == 0 && m_collectsUndo) {
        m_beforeCommand = text();
        m_untouchedHead = m_beforeCommand.size();
        m_untouchedTail = m_beforeCommand.size();
    }
}

void EditorView::noteCommandEdit()
{
    if (m_commandDepth == 0 || !m_collectsUndo)
        return;
    const auto [start, end] = charSelection();
    const auto length = std::size_t(std::max(GetWindowTextLengthW(m_edit), 0));
    m_untouchedHead = std::min<std::size_t>(m_untouchedHead, start);
    m_untouchedTail = std::min(m_untouchedTail, length - std::min<std::size_t>(end, length));
}

void EditorView::endUndoAction()
{
    if (m_commandDepth == 0 || --m_commandDepth != 0 || !m_collectsUndo)
        return;
    const std::wstring before = std::move(m_beforeCommand);
    m_beforeCommand = std::wstring();
    const std::wstring after = text();
    if (after == before)
        return;
    // The command's changes become one replacement of the part that differs, made with undo
    // from the text as it was: the control's undo then takes the whole command back. The part
    // reaches as far as the command's edits did, so that undo selects the text the command
    // replaced from its first character to its last, even where the command kept some of it.
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < std::min(shorter, m_untouchedHead) && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < std::min(shorter - prefix, m_untouchedTail) &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const auto [selStart, selEnd] = charSelection();
    SendMessageW(m_edit, WM_SETREDRAW, FALSE, 0);
    SetWindowTextW(m_edit, before.c_str());
    SendMessageW(m_edit, EM_SETSEL, prefix, LPARAM(before.size() - suffix));
    const std::wstring middle = after.substr(prefix, after.size() - suffix - prefix);
    SendMessageW(m_edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(middle.c_str()));
    SendMessageW(m_edit, EM_SETSEL, selStart, LPARAM(selEnd));
    SendMessageW(m_edit, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_edit, nullptr, TRUE);
    SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
}

bool EditorView::canUndo() const
{
    return SendMessageW(m_edit, EM_CANUNDO, 0, 0) != 0;
}

void EditorView::undo()
{
    SendMessageW(m_edit, EM_UNDO, 0, 0);
}

bool EditorView::isModified() const
{
    return SendMessageW(m_edit, EM_GETMODIFY, 0, 0) != 0;
}

void EditorView::setModified(bool modified)
{
    SendMessageW(m_edit, EM_SETMODIFY, modified ? TRUE : FALSE, 0);
}

std::string_view EditorView::viewSelection()
{
    const std::wstring all = text();
    const auto [start, end] = charSelection();
    const std::size_t from = std::min<std::size_t>(start, all.size());
    m_selection = AnsiText::bytes(
        std::wstring_view(all).substr(from, std::min<std::size_t>(end, all.size()) - from));
    return m_selection;
}

bool EditorView::viewHasSelection()
{
    const auto [start, end] = charSelection();
    return start != end;
}

void EditorView::viewSelectAll()
{
    SendMessageW(m_edit, EM_SETSEL, 0, -1);
}

void EditorView::viewDeleteSelection()
{
    if (!viewHasSelection())
        return;
    noteCommandEdit();
    SendMessageW(m_edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void EditorView::viewInsert(std::string_view text)
{
    noteCommandEdit();
    const std::wstring inserted = AnsiText::wide(withCrLf(text));
    SendMessageW(m_edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(inserted.c_str()));
    SendMessageW(m_edit, EM_SCROLLCARET, 0, 0);
}

void EditorView::viewUpdateCommand(std::uint32_t commandId)
{
    if (m_updateCommand)
        m_updateCommand(commandId);
}
