// plinthar.exe: a small Win32 text editor that loads Plinthar plug-ins, with a headless batch
// mode.

#include "ansitext.h"
#include "batchrun.h"
#include "host/commandline.h"
#include "mainframe.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

void printError(const std::string &bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

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

std::vector<std::string> loadPlugins(MainFrame &frame, const PlintharOptions &options)
{
    const std::wstring folder =
        options.pluginFolder ? wide(*options.pluginFolder) : programFolder() + L"\\plugins";
    std::vector<std::string> errors = frame.loadPluginFolder(folder);
    for (const std::string &path : options.plugins) {
        std::string error;
        if (!frame.loadPlugin(wide(path), &error))
            errors.push_back(error);
    }
    return errors;
}

std::wstring fullPath(const std::wstring &path)
{
    std::wstring full(MAX_PATH * 4, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), DWORD(full.size()), full.data(), nullptr));
    return full;
}

// The plug-in batch mode invokes (CommandLine::batchPlugin).
std::optional<std::size_t> batchPlugin(const MainFrame &frame, const PlintharOptions &options)
{
    std::vector<std::string> loaded;
    for (const MainFrame::InstalledPlugin &plugin : frame.plugins())
        loaded.push_back(AnsiText::bytes(plugin.library->path(), CP_UTF8));
    std::vector<std::string> named;
    for (const std::string &path : options.plugins)
        named.push_back(AnsiText::bytes(fullPath(wide(path)), CP_UTF8));
    return CommandLine::batchPlugin(loaded, named, [](const std::string &a, const std::string &b) {
        return CompareStringOrdinal(wide(a).c_str(), -1, wide(b).c_str(), -1, TRUE) == CSTR_EQUAL;
    });
}

std::optional<std::string> readFile(const std::wstring &path, std::string *error)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
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

int runBatch(const PlintharOptions &options)
{
    std::optional<std::string> scriptText;
    if (options.scriptFile) {
        std::string error;
        scriptText = readFile(wide(*options.scriptFile), &error);
        if (!scriptText) {
            printError("Cannot open the script \"" + *options.scriptFile + "\": " + error);
            return 2;
        }
    }

    MainFrame frame;
    // Nobody can undo a batch run: the view keeps no copies of what the command changes.
    frame.view().setCollectsUndo(false);
    std::string error;
    if (!frame.openDocument(wide(options.document), &error)) {
        printError(error);
        return 2;
    }
    // Offsets count the file's bytes; the view keeps every break as CR LF.
    const std::string file = frame.view().bytes();
    if (options.selection && std::size_t(options.selection->second) > file.size()) {
        printError("The selection " + std::to_string(options.selection->first) + ".." +
                   std::to_string(options.selection->second) + " lies outside the document (" +
                   std::to_string(file.size()) + " bytes).");
        return 2;
    }
    for (const std::string &loadError : loadPlugins(frame, options))
        printError(loadError);
    const std::optional<std::size_t> plugin = batchPlugin(frame, options);
    if (!plugin) {
        printError("No plug-in is loaded.");
        return 2;
    }
    ShowWindow(frame.handle(), SW_SHOWNOACTIVATE);
    if (options.selection)
        frame.view().selectRange(
            LineBreaks::crLfOffset(file, std::size_t(options.selection->first)),
            LineBreaks::crLfOffset(file, std::size_t(options.selection->second)));

    BatchRun automation(options.scriptName, scriptText, options.timeLimit);
    const BatchRun::Result result = automation.run([&] { frame.runCommand(*plugin); });
    if (result.exitCode != 0) {
        printError(result.message);
        return result.exitCode;
    }
    const std::string output = frame.view().bytes();
    _setmode(_fileno(stdout), _O_BINARY);
    if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() ||
        std::fflush(stdout) != 0) {
        printError("Cannot write the document to standard output.");
        return 2;
    }
    return 0;
}

int runEditor(const PlintharOptions &options)
{
    MainFrame frame;
    std::vector<std::string> errors = loadPlugins(frame, options);
    if (!options.document.empty()) {
        std::string error;
        if (!frame.openDocument(wide(options.document), &error))
            errors.push_back(error);
    }
    ShowWindow(frame.handle(), SW_SHOWDEFAULT);
    UpdateWindow(frame.handle());
    for (const std::string &error : errors) {
        printError(error);
        MessageBoxW(frame.handle(), AnsiText::wide(error).c_str(), L"Plinthar",
                    MB_OK | MB_ICONWARNING);
    }
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return int(message.wParam);
}

} // namespace

int main()
{
    // The arguments as UTF-8, whatever the code page: file names may hold any character.
    int count = 0;
    wchar_t **wideArgs = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i)
        args.push_back(AnsiText::bytes(wideArgs[i], CP_UTF8));
    LocalFree(wideArgs);

    std::string error;
    const std::optional<PlintharOptions> options = CommandLine::parse(args, &error);
    if (!options) {
        printError(error);
        std::fputs(CommandLine::usage(), stderr);
        return 2;
    }
    if (!options->batch) {
        // Started from Explorer the editor got a console of its own: it has nothing to say.
        DWORD processes[2] = {};
        if (GetConsoleProcessList(processes, 2) == 1)
            FreeConsole();
    }
    try {
        return options->batch ? runBatch(*options) : runEditor(*options);
    } catch (const std::exception &failure) {
        printError(failure.what());
        return 2;
    }
}
