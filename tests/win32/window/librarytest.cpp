// Korvex.dll as a host sees it before any command: its export table, its resources and its
// answers to the property queries, in both languages of its string tables.

#include "testhost.h"

#include "platform/textcoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

/// The export table of the library file: its own name and (ordinal, name) of every export.
struct ExportTable
{
    std::string libraryName;
    std::vector<std::pair<DWORD, std::string>> exports;
};

ExportTable exportTableOf(const std::wstring &path)
{
    // Mapped as an image with nothing run and nothing resolved: only its tables are read.
    const HMODULE image = LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    EXPECT_NE(image, nullptr);
    ExportTable table;
    if (!image)
        return table;
    const auto *base = reinterpret_cast<const BYTE *>(image);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto *directory =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + entry.VirtualAddress);
    table.libraryName = reinterpret_cast<const char *>(base + directory->Name);
    const auto *names = reinterpret_cast<const DWORD *>(base + directory->AddressOfNames);
    const auto *ordinals = reinterpret_cast<const WORD *>(base + directory->AddressOfNameOrdinals);
    for (DWORD i = 0; i < directory->NumberOfNames; ++i)
        table.exports.emplace_back(directory->Base + ordinals[i],
                                   reinterpret_cast<const char *>(base + names[i]));
    EXPECT_EQ(directory->NumberOfFunctions, directory->NumberOfNames) << "exports without names";
    FreeLibrary(image);
    return table;
}

std::wstring libraryPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(KorvexLibrary::get().module, path, MAX_PATH);
    return path;
}

/// PlugInProc's text answer for @p query with a buffer of @p size: the answer and the text.
std::pair<intptr_t, std::string> textAnswer(UINT query, std::size_t size)
{
    std::string buffer(size + 1, '#');
    const intptr_t answer = KorvexLibrary::get().PlugInProc(
        nullptr, query, size, reinterpret_cast<LPARAM>(buffer.data()));
    return {answer, buffer.substr(0, buffer.find('\0'))};
}

/// Sets the thread's user-interface language for as long as it lives.
class ThreadLanguage
{
public:
    explicit ThreadLanguage(LANGID language)
        : m_saved(GetThreadUILanguage()), m_savedLocale(GetThreadLocale())
    {
        SetThreadUILanguage(language);
        SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
    }
    ~ThreadLanguage()
    {
        SetThreadUILanguage(m_saved);
        SetThreadLocale(m_savedLocale);
    }
    ThreadLanguage(const ThreadLanguage &) = delete;
    ThreadLanguage &operator=(const ThreadLanguage &) = delete;

private:
    LANGID m_saved;
    LCID m_savedLocale;
};

std::wstring wideString(UINT id)
{
    const wchar_t *text = nullptr;
    const int length =
        LoadStringW(KorvexLibrary::get().module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

} // namespace

TEST(KorvexLibraryFile, ExportsExactlyTheSevenEntryPointsByNameWithOrdinalsOneToSeven)
{
    const ExportTable table = exportTableOf(libraryPath());
    EXPECT_EQ(table.libraryName, "Korvex.dll");
    const std::vector<std::pair<DWORD, std::string>> expected = {
        {1, "OnCommand"},          {2, "QueryStatus"}, {3, "OnEvents"},   {4, "GetMenuTextID"},
        {5, "GetStatusMessageID"}, {6, "GetBitmapID"}, {7, "PlugInProc"},
    };
    std::vector<std::pair<DWORD, std::string>> exports = table.exports;
    std::sort(exports.begin(), exports.end());
    EXPECT_EQ(exports, expected);
}

TEST(KorvexLibraryFile, HoldsTheFourteenToolbarBitmapsInTheirSizesAndDepths)
{
    struct Bitmap
    {
        int id, size, bits;
    };
    const Bitmap bitmaps[] = {
        {101, 16, 4},  {104, 24, 4},  {105, 16, 8},  {106, 16, 8},  {107, 16, 8},
        {108, 16, 24}, {109, 16, 24}, {111, 16, 24}, {112, 24, 8},  {113, 24, 8},
        {114, 24, 8},  {115, 24, 24}, {116, 24, 24}, {117, 24, 24},
    };
    const HMODULE module = KorvexLibrary::get().module;
    for (const Bitmap &b : bitmaps) {
        const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(b.id), MAKEINTRESOURCEW(2));
        ASSERT_NE(resource, nullptr) << b.id;
        const auto *header =
            static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(module, resource)));
        EXPECT_EQ(header->biWidth, b.size) << b.id;
        EXPECT_EQ(std::abs(header->biHeight), b.size) << b.id;
        EXPECT_EQ(header->biBitCount, b.bits) << b.id;
        EXPECT_EQ(header->biCompression, DWORD(BI_RGB)) << b.id;
    }
    for (const int id : {102, 103, 110})
        EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2)), nullptr) << id;
}

TEST(KorvexLibraryQueries, AnswerFromTheStringTableOfTheThreadsLanguage)
{
    struct Language
    {
        LANGID id;
        std::wstring menu, status, uninstall;
    };
    const Language languages[] = {
        {1033, L"Run Ruby Script", L"Run Ruby Script",
         L"Are you sure you want to uninstall this Plug-in?"},
        {1041, L"Ruby \u30b9\u30af\u30ea\u30d7\u30c8",
         L"Ruby \u30b9\u30af\u30ea\u30d7\u30c8\u3092\u5b9f\u884c\u3059\u308b",
         L"\u30a2\u30f3\u30a4\u30f3\u30b9\u30c8\u30fc\u30eb\u3092\u5b9f\u884c\u3057\u307e\u3059"
         L"\u3002\u3088\u308d\u3057\u3044\u3067\u3059\u304b?"},
    };
    const KorvexLibrary &korvex = KorvexLibrary::get();
    for (const Language &language : languages) {
        const ThreadLanguage thread(language.id);
        EXPECT_EQ(wideString(korvex.GetMenuTextID()), language.menu) << language.id;
        EXPECT_EQ(wideString(korvex.GetStatusMessageID()), language.status) << language.id;
        EXPECT_EQ(wideString(3), language.uninstall) << language.id;
        EXPECT_EQ(wideString(4), L"") << language.id;
        // The version answers its full length whatever the buffer holds; no entry answers 0.
        EXPECT_EQ(textAnswer(0x904, 100), (std::pair<intptr_t, std::string>{4, "1.00"}));
        EXPECT_EQ(textAnswer(0x904, 3), (std::pair<intptr_t, std::string>{4, "1."}));
        EXPECT_EQ(textAnswer(0x902, 100), (std::pair<intptr_t, std::string>{0, ""}));
        EXPECT_EQ(korvex.PlugInProc(nullptr, 0x904, 0, 0), 4);
    }
    EXPECT_EQ(korvex.GetBitmapID(), 101u);
}

TEST(KorvexLibraryQueries, AnswerTheConstantsBitmapsMaskAndUninstallQuestion)
{
    const KorvexLibrary &korvex = KorvexLibrary::get();
    struct Query
    {
        const char *name;
        UINT message;
        WPARAM wParam;
        intptr_t answer;
    };
    const Query queries[] = {
        {"0x900", 0x900, 0, 0},
        {"0x901", 0x901, 0, 1},
        {"0x903", 0x903, 0, 0},
        {"0x905", 0x905, 0, 0},
        {"0x906", 0x906, 0, 1},
        {"unknown", 0x90A, 0, 0},
        {"small 16", 0x908, 0, 101},
        {"large disabled 256", 0x908, 0x111, 112},
        {"true colour wins", 0x908, 0x31, 116},
        {"large no colour", 0x908, 0x301, 104},
        {"highlighted true small", 0x908, 0x220, 111},
        {"mask 16", 0x909, 0, 0},
        {"mask large 16", 0x909, 0x1, 0},
        {"mask 256", 0x909, 0x10, 0x00FF00FF},
    };
    for (const Query &q : queries)
        EXPECT_EQ(korvex.PlugInProc(nullptr, q.message, q.wParam, 0), q.answer) << q.name;
    EXPECT_EQ(korvex.QueryStatus(nullptr, nullptr), -1);

    for (const auto &[choice, answer] : {std::pair{IDYES, 1}, std::pair{IDNO, 0}}) {
        MessageBoxAnswerer answerer;
        answerer.answer = choice;
        EXPECT_EQ(korvex.PlugInProc(nullptr, 0x907, 0, 0), answer);
        ASSERT_EQ(answerer.boxes.size(), 1u);
        EXPECT_EQ(answerer.boxes[0].caption, "UnInstall");
        EXPECT_EQ(answerer.boxes[0].text,
                  platform::systemText("アンインストールしてもいいですか？"));
    }
}
