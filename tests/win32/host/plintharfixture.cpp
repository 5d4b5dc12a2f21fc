#include "plintharfixture.h"

#include "host/linebreaks.h"
#include "host/win32/ansitext.h"
#include "windowfixture.h"

std::wstring programFolder()
{
    std::wstring path(MAX_PATH * 4, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    return path.substr(0, path.find_last_of(L"\\/"));
}

void PlintharFrame::SetUp()
{
    frame = std::make_unique<MainFrame>();
    loadErrors = frame->loadPluginFolder(programFolder() + L"\\plugins");
    ShowWindow(frame->handle(), SW_SHOWNOACTIVATE);
}

std::string PlintharFrame::scriptsFolder()
{
    return documents().path() + "\\Korvex";
}

void PlintharFrame::writeScript(const std::string &name, const std::string &bytes)
{
    CreateDirectoryA(scriptsFolder().c_str(), nullptr);
    const HANDLE file = CreateFileA((scriptsFolder() + "\\" + name).c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size()) << name;
}

std::optional<std::string> PlintharFrame::openDocument(const std::string &document)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"plinthar-test-document.txt";
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, document.data(), DWORD(document.size()), &written, nullptr);
    CloseHandle(file);
    std::string error;
    const bool opened = frame->openDocument(path, &error);
    DeleteFileW(path.c_str());
    if (!opened)
        return error;
    return std::nullopt;
}

BatchRun::Result PlintharFrame::run(const std::string &document, std::size_t start, std::size_t end,
                                    const std::string &script, const std::string &scriptName)
{
    if (const std::optional<std::string> error = openDocument(document))
        return {2, *error};
    frame->view().selectRange(LineBreaks::crLfOffset(document, start),
                              LineBreaks::crLfOffset(document, end));
    BatchRun automation(scriptName, scriptName.empty() ? std::optional(script) : std::nullopt);
    return automation.run([this] { frame->runCommand(0); });
}
