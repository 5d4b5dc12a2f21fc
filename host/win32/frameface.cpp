#include "frameface.h"

#include "ansitext.h"
#include "batchrun.h"
#include "mainframe.h"

#include "host/linebreaks.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace {

// Options are UTF-8 on Windows (CommandLine); the API takes them as UTF-16.
std::wstring wide(const std::string &utf8)
{
    return AnsiText::wide(utf8, CP_UTF8);
}

std::wstring programFolder()
{
    std::wstring path(MAX_PATH * 4, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    return path.substr(0, path.find_last_of(L"\\/"));
}

} // namespace

std::vector<std::string> FrameFace::loadPluginFolder(const std::optional<std::string> &folder)
{
    return m_frame.loadPluginFolder(folder ? wide(*folder) : programFolder() + L"\\plugins");
}

bool FrameFace::loadPlugin(const std::string &path, std::string *error)
{
    return m_frame.loadPlugin(wide(path), error);
}

std::vector<std::string> FrameFace::pluginPaths() const
{
    std::vector<std::string> paths;
    for (const MainFrame::InstalledPlugin &plugin : m_frame.plugins())
        paths.push_back(AnsiText::bytes(plugin.library->path(), CP_UTF8));
    return paths;
}

std::string FrameFace::fullPath(const std::string &path) const
{
    const std::wstring given = wide(path);
    std::wstring full(MAX_PATH * 4, L'\0');
    full.resize(GetFullPathNameW(given.c_str(), DWORD(full.size()), full.data(), nullptr));
    return AnsiText::bytes(full, CP_UTF8);
}

bool FrameFace::samePath(const std::string &a, const std::string &b) const
{
    return CompareStringOrdinal(wide(a).c_str(), -1, wide(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::optional<std::string> FrameFace::readFile(const std::string &path, std::string *error)
{
    const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = AnsiText::systemMessage(GetLastError());
        return std::nullopt;
    }
    std::string bytes;
    char piece[65536];
    DWORD got = 0;
    BOOL read = FALSE;
    while ((read = ReadFile(file, piece, sizeof piece, &got, nullptr)) && got > 0)
        bytes.append(piece, got);
    const DWORD readError = GetLastError();
    CloseHandle(file);
    if (!read) {
        *error = AnsiText::systemMessage(readError);
        return std::nullopt;
    }
    return bytes;
}

bool FrameFace::openDocument(const std::string &path, std::string *error)
{
    m_frame.view().setCollectsUndo(false);
    if (!m_frame.openDocument(wide(path), error))
        return false;
    m_bytes = m_frame.view().bytes();
    return true;
}

std::size_t FrameFace::documentSize()
{
    return m_bytes.size();
}

void FrameFace::showFrame()
{
    ShowWindow(m_frame.handle(), SW_SHOWNOACTIVATE);
}

void FrameFace::selectBytes(std::size_t start, std::size_t end)
{
    // Offsets count the file's bytes; the view keeps every break as CR LF.
    m_frame.view().selectRange(LineBreaks::crLfOffset(m_bytes, start),
                               LineBreaks::crLfOffset(m_bytes, end));
}

EditorFace::Outcome FrameFace::runCommand(std::size_t plugin, const Script &script,
                                          TimeLimit *limit)
{
    BatchRun automation(script.name, script.text, limit);
    const BatchRun::Result result = automation.run([&] { m_frame.runCommand(plugin); });
    // What the plug-in ran may have left the process's standard streams in another mode (the
    // Ruby runtime swaps them around a child's start): the editor's own output keeps its form,
    // messages as text, the document byte for byte.
    _setmode(_fileno(stderr), _O_TEXT);
    _setmode(_fileno(stdout), _O_BINARY);
    return {result.exitCode, result.message};
}

std::string_view FrameFace::documentBytes()
{
    m_bytes = m_frame.view().bytes();
    return m_bytes;
}
