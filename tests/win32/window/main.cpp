// The window tests under a private documents folder; with --show-window, the test host with
// the Korvex window over it for a person (or a screenshot) to look at, until it is closed.

#include "testhost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

std::unique_ptr<PrivateDocuments> privateDocuments;

void writeFile(const std::string &path, const std::string &bytes)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

int showWindow()
{
    const std::string folder = privateDocuments->path() + "\\Korvex";
    CreateDirectoryA(folder.c_str(), nullptr);
    writeFile(folder + "\\upcase.rb", "ARGV.each { |l| puts l.upcase }\r\n");
    writeFile(folder + "\\number.rb",
              "ARGV.each_with_index { |l, i| puts \"#{i + 1}: #{l}\" }\r\n");
    TestHost host;
    host.document = "one\r\ntwo\r\nthree\r\n";
    const KorvexLibrary &korvex = KorvexLibrary::get();
    korvex.OnEvents(host.view(), EVT_SET_COMMAND_ID, 1);
    korvex.OnCommand(host.view());
    // The host stays, showing the document, until its frame is closed.
    MSG message = {};
    while (IsWindow(host.frame()) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

} // namespace

const PrivateDocuments &documents()
{
    return *privateDocuments;
}

int main(int argc, char **argv)
{
    privateDocuments = std::make_unique<PrivateDocuments>();
    int result = 0;
    if (argc > 1 && std::strcmp(argv[1], "--show-window") == 0) {
        result = showWindow();
    } else {
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    privateDocuments.reset();
    return result;
}
