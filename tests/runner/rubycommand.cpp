#include "rubycommand.h"

#ifdef _WIN32

#include <windows.h>

namespace {

std::wstring wide(const std::string &text)
{
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

/// @p arg quoted so that the C runtime's split of a command line gives it back.
std::wstring quoted(const std::wstring &arg)
{
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

std::wstring rubyCommand()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L"\\/"));
    return folder + L"\\Korvex\\ruby\\bin\\ruby.exe";
}

} // namespace

std::string runRubyCommand(const std::vector<std::string> &args)
{
    // Text in the system's coding, as the plug-in's runtime has it; without RubyGems, which the
    // standard library does not need and which takes seconds to start under Wine.
    std::wstring commandLine = quoted(rubyCommand()) + L" -Elocale --disable-gems";
    for (const std::string &arg : args)
        commandLine += L" " + quoted(wide(arg));
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return "(no pipe)";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    SetEnvironmentVariableW(L"RUBYOPT", nullptr);
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    CloseHandle(nothing);
    std::string output;
    if (started) {
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0)
            output.append(chunk, got);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        output = "(ruby did not start)";
    }
    CloseHandle(readEnd);
    return output;
}

#else

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

std::string runRubyCommand(const std::vector<std::string> &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("RUBYOPT"));
    QStringList arguments;
    for (const std::string &arg : args)
        arguments << QString::fromStdString(arg);
    QProcess ruby;
    ruby.setProcessEnvironment(env);
    ruby.setStandardInputFile(QProcess::nullDevice());
    ruby.setProcessChannelMode(QProcess::MergedChannels);
    ruby.start(QStringLiteral("ruby"), arguments);
    if (!ruby.waitForFinished(60000))
        return "(ruby did not finish)";
    return ruby.readAll().toStdString();
}

#endif
