// plinthar.exe --batch as a user starts it: the document on standard output, the exit statuses,
// bad input answered with a message and the document left alone, and the time limit.

#include "host/win32/ansitext.h"
#include "plintharfixture.h"
#include "windowfixture.h"

#include "stoppablescripts.h"

#include <gtest/gtest.h>

namespace {

struct Outcome
{
    DWORD exitCode = DWORD(-1);
    std::string out;
    std::string err;
    double seconds = 0; ///< from the start to the end of the program
};

/// Appends to @p bytes what @p pipe holds now, without waiting for more.
void readWaiting(HANDLE pipe, std::string &bytes)
{
    DWORD waiting = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
        const std::size_t at = bytes.size();
        bytes.resize(at + waiting);
        DWORD got = 0;
        const BOOL read = ReadFile(pipe, bytes.data() + at, waiting, &got, nullptr);
        bytes.resize(at + (read ? got : 0));
        if (!read || got == 0)
            return;
    }
}

/// Runs plinthar.exe (beside this program) with @p arguments, its plug-in folder that of the
/// build; answers its exit status and what it wrote. What it wrote is read until it ends, even
/// when something it started still holds its streams; whatever it started ends with it, and a
/// run of over a minute is ended as a hang.
Outcome plinthar(const std::wstring &arguments)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::wstring command = L"\"" + programFolder() + L"\\plinthar.exe\" --batch " + arguments;
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    PROCESS_INFORMATION process = {};
    Outcome outcome;
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE,
                                        CREATE_SUSPENDED, nullptr, nullptr, &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        AssignProcessToJobObject(job, process.hProcess);
        const ULONGLONG start = GetTickCount64();
        ResumeThread(process.hThread);
        while (WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT) {
            readWaiting(outRead, outcome.out);
            readWaiting(errRead, outcome.err);
            if (GetTickCount64() - start > 60'000)
                TerminateProcess(process.hProcess, DWORD(-1));
        }
        outcome.seconds = double(GetTickCount64() - start) / 1000;
        readWaiting(outRead, outcome.out);
        readWaiting(errRead, outcome.err);
        GetExitCodeProcess(process.hProcess, &outcome.exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(job);
    CloseHandle(outRead);
    CloseHandle(errRead);
    return outcome;
}

std::wstring temporaryFile(const std::wstring &name, const std::string &bytes)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + name;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

std::wstring quoted(const std::wstring &path)
{
    return L"\"" + path + L"\"";
}

} // namespace

TEST(PlintharBatch, WritesTheFilteredDocumentOrSaysWhyNot)
{
    CreateDirectoryA((documents().path() + "\\Korvex").c_str(), nullptr);
    const std::string scripts = documents().path() + "\\Korvex\\";
    const HANDLE script = CreateFileA((scripts + "upper.rb").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string upper = "ARGV.each { |l| puts l.upcase }\r\n";
    DWORD written = 0;
    WriteFile(script, upper.data(), DWORD(upper.size()), &written, nullptr);
    CloseHandle(script);
    const std::wstring document = quoted(temporaryFile(L"batch-document.txt", "one\ntwo\n"));

    struct Case
    {
        const char *what;
        std::wstring arguments;
        DWORD exitCode;
        std::string out;
        std::string errStart;
    };
    const Case cases[] = {
        {"a script from the list over the document", L"--script upper.rb " + document, 0,
         "ONE\nTWO\n", ""},
        {"over a selection in the file's bytes", L"--script upper.rb --selection 4 8 " + document,
         0, "one\nTWO\n", ""},
        {"a time limit is accepted", L"--script upper.rb --time-limit 60 " + document, 0,
         "ONE\nTWO\n", ""},
        {"a script that is not in the list", L"--script none.rb " + document, 2, "",
         "The script \"none.rb\" is not in the scripts list."},
        {"a script file that cannot be read",
         L"--script-file " + quoted(programFolder() + L"\\no-such-script.rb") + L" " + document, 2,
         "", "Cannot open the script"},
        {"a document that cannot be read", L"--script upper.rb " + quoted(L"C:\\no\\such.txt"), 2,
         "", "Cannot open \"C:\\no\\such.txt\""},
        {"a selection beyond the document", L"--script upper.rb --selection 0 99 " + document, 2,
         "", "The selection 0..99 lies outside the document (8 bytes)."},
        {"a usage error", L"--selection 1 " + document, 2, "", "--selection needs"},
    };
    for (const Case &c : cases) {
        const Outcome outcome = plinthar(c.arguments);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.what << ": " << outcome.err;
        EXPECT_EQ(outcome.out, c.out) << c.what;
        EXPECT_EQ(outcome.err.substr(0, c.errStart.size()), c.errStart) << c.what;
    }
}

TEST(PlintharBatch, BadInputGetsAMessageAndLeavesTheDocument)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base =
        std::wstring(temp) + L"plinthar-bad-input-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring noRuntime = base + L"\\no-runtime";
    const std::wstring otherVersion = base + L"\\other-version";
    for (const std::wstring &folder :
         {base, noRuntime, otherVersion, otherVersion + L"\\Korvex",
          otherVersion + L"\\Korvex\\ruby", otherVersion + L"\\Korvex\\ruby\\bin"})
        CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring korvex = programFolder() + L"\\plugins\\Korvex.dll";
    ASSERT_TRUE(CopyFileW(korvex.c_str(), (noRuntime + L"\\Korvex.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(korvex.c_str(), (otherVersion + L"\\Korvex.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((programFolder() + L"\\fake-runtime\\" KORVEX_RUBY_DLL_NAME).c_str(),
                          (otherVersion + L"\\Korvex\\ruby\\bin\\" KORVEX_RUBY_DLL_NAME).c_str(),
                          FALSE));
    const std::wstring document = quoted(temporaryFile(L"bad-input.txt", "keep\n"));
    const std::wstring typed = quoted(temporaryFile(L"bad-input.rb", "puts 1\n"));

    // A script in the list that cannot be read: another program holds it open.
    CreateDirectoryA((documents().path() + "\\Korvex").c_str(), nullptr);
    const std::string locked = documents().path() + "\\Korvex\\locked.rb";
    const HANDLE holder = CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    struct Case
    {
        const char *what;
        std::wstring arguments;
        std::string errStart;
    };
    const Case cases[] = {
        {"no runtime beside the plug-in",
         L"--plugin-folder " + quoted(noRuntime) + L" --script-file " + typed + L" " + document,
         "The Ruby runtime could not be loaded from"},
        {"a runtime of another version",
         L"--plugin-folder " + quoted(otherVersion) + L" --script-file " + typed + L" " + document,
         "The Ruby runtime at "},
        {"a script file that cannot be read", L"--script locked.rb " + document,
         // "ファイル " in the system's code page, as the box says it.
         AnsiText::bytes(
             AnsiText::wide("\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab ", CP_UTF8))},
    };
    for (const Case &c : cases) {
        const Outcome outcome = plinthar(c.arguments);
        EXPECT_EQ(outcome.exitCode, 1u) << c.what << ": " << outcome.err;
        EXPECT_EQ(outcome.out, "") << c.what << ": no document is written";
        EXPECT_EQ(outcome.err.substr(0, c.errStart.size()), c.errStart) << c.what;
    }
    CloseHandle(holder);
    DeleteFileA(locked.c_str());

    // A scripts folder that cannot be created (a file has its name) lists no script.
    removeTree(documents().path() + "\\Korvex");
    const std::string blocker = documents().path() + "\\Korvex";
    const HANDLE file = CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    const Outcome noFolder = plinthar(L"--script upper.rb " + document);
    EXPECT_EQ(noFolder.exitCode, 2u) << noFolder.err;
    EXPECT_EQ(noFolder.out, "");
    const std::string notListed = "The script \"upper.rb\" is not in the scripts list.";
    EXPECT_EQ(noFolder.err.substr(0, notListed.size()), notListed);
    DeleteFileA(blocker.c_str());
    removeTree(AnsiText::bytes(base));
}

namespace {

class PlintharBatchTimeLimit : public ::testing::TestWithParam<StoppableScript>
{
};

} // namespace

TEST_P(PlintharBatchTimeLimit, StopsTheScriptAndWritesTheDocumentUnchanged)
{
    const StoppableScript &row = GetParam();
    const std::string unchanged = "keep\r\nme\r\n";
    const std::wstring document = quoted(temporaryFile(L"stuck-document.txt", unchanged));
    // How long the editor takes with a script that ends at once: starting, loading, ending.
    static const double editorSeconds =
        plinthar(L"--script-file " + quoted(temporaryFile(L"quick.rb", "puts 1")) + L" " + document)
            .seconds;
    const std::wstring script = quoted(temporaryFile(L"stuck.rb", row.source));
    const Outcome outcome = plinthar(L"--time-limit 2 --script-file " + script + L" " + document);
    EXPECT_EQ(outcome.exitCode, 3u) << outcome.err;
    EXPECT_EQ(outcome.out, unchanged);
    EXPECT_EQ(outcome.err, "stopped after 2 s\r\n");
    // Stop is pressed 2 s into the run: the script ends within a second of it.
    EXPECT_LT(outcome.seconds - editorSeconds, 3.0) << "the script went on after Stop";
}

INSTANTIATE_TEST_SUITE_P(Stoppable, PlintharBatchTimeLimit, ::testing::ValuesIn(StoppableScripts),
                         [](const ::testing::TestParamInfo<StoppableScript> &info) {
                             return std::string(info.param.name);
                         });
