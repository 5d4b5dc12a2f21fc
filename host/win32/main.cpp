// plinthar.exe: a small Win32 text editor that loads Plinthar plug-ins, with a headless batch
// mode.

#include "ansitext.h"
#include "frameface.h"
#include "mainframe.h"

#include "host/batchmode.h"
#include "host/commandline.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace {

int runBatch(const PlintharOptions &options)
{
    // The document goes to standard output byte for byte.
    _setmode(_fileno(stdout), _O_BINARY);
    MainFrame frame;
    FrameFace face(frame);
    return BatchMode::run(face, options);
}

int runEditor(const PlintharOptions &options)
{
    MainFrame frame;
    FrameFace face(frame);
    std::vector<std::string> errors = face.loadPlugins(options);
    if (!options.document.empty()) {
        std::string error;
        if (!frame.openDocument(AnsiText::wide(options.document, CP_UTF8), &error))
            errors.push_back(error);
    }
    ShowWindow(frame.handle(), SW_SHOWDEFAULT);
    UpdateWindow(frame.handle());
    for (const std::string &error : errors) {
        BatchMode::printError(error);
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
        BatchMode::printError(error);
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
        BatchMode::printError(failure.what());
        return 2;
    }
}
