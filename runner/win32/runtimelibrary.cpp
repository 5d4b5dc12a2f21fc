#include "runtimelibrary.h"

#include "platform/win32/imagefile.h"

#include <ruby.h>

#include <windows.h>

#include <stdlib.h>

#include <stdexcept>
#include <string>

// The runtime's variables that the plug-in and the runtime's headers use. Code built for a
// library's data reaches each through a pointer named __imp_ and the variable's symbol (with
// the leading underscore of 32-bit x86), which an import library would fill when the plug-in
// loads; the runtime is loaded later, so these are filled by name once it is (the variables'
// own names, as the runtime exports them).
#define KORVEX_SYMBOL_TEXT(text) #text
#define KORVEX_SYMBOL_PREFIX(prefix) KORVEX_SYMBOL_TEXT(prefix)
#define KORVEX_IMPORT_SLOT(name)                                                                   \
    VALUE *importOf_##name __asm__("__imp_" KORVEX_SYMBOL_PREFIX(__USER_LABEL_PREFIX__) #name) =   \
        nullptr
extern "C" {
KORVEX_IMPORT_SLOT(rb_cFile);
KORVEX_IMPORT_SLOT(rb_cIO);
KORVEX_IMPORT_SLOT(rb_cObject);
KORVEX_IMPORT_SLOT(rb_eSystemExit);
KORVEX_IMPORT_SLOT(rb_cThread);
KORVEX_IMPORT_SLOT(rb_stdin);
KORVEX_IMPORT_SLOT(rb_stdout);
KORVEX_IMPORT_SLOT(rb_stderr);
}

namespace {

struct RuntimeVariable
{
    const char *name;
    VALUE **address;
};

constexpr RuntimeVariable kRuntimeVariables[] = {
    {"rb_cFile", &importOf_rb_cFile},     {"rb_cIO", &importOf_rb_cIO},
    {"rb_cObject", &importOf_rb_cObject}, {"rb_eSystemExit", &importOf_rb_eSystemExit},
    {"rb_cThread", &importOf_rb_cThread}, {"rb_stdin", &importOf_rb_stdin},
    {"rb_stdout", &importOf_rb_stdout},   {"rb_stderr", &importOf_rb_stderr},
};

HMODULE runtime = nullptr;

std::wstring folderOfThisModule()
{
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&folderOfThisModule), &self);
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/"));
}

/// @p text in the system's ANSI code page, the coding of the plug-in's messages.
std::string ansi(const std::wstring &text)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

/**
 * Throws when the runtime in @p folder is one of the other architecture (the DLL of this one,
 * @p path, or, when that is missing, a runtime DLL of another name there): the system would
 * only refuse it as "not a valid application", or not find it.
 */
void refuseOtherArchitecture(const std::wstring &folder, const std::wstring &path)
{
    std::wstring found = path;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        WIN32_FIND_DATAW entry = {};
        const HANDLE search = FindFirstFileW((folder + L"\\*ruby*.dll").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            return;
        FindClose(search);
        found = folder + L"\\" + entry.cFileName;
    }
    const int bits = platform::imageBits(found);
    if (bits == 0 || bits == platform::processBits())
        return;
    throw std::runtime_error(
        "The Ruby runtime at " + ansi(found) + " is built for " + std::to_string(bits) +
        "-bit Windows, and this Korvex.dll for " + std::to_string(platform::processBits()) +
        "-bit Windows: unpack " KORVEX_WINDOWS_PACKAGE ".zip into the plug-in folder again");
}

/**
 * Has OpenSSL trust the certificate authorities in @p bundle, which the package ships: OpenSSL
 * does not read Windows' own store, and the folder it was built to look in exists on no user's
 * machine. A bundle the user named (SSL_CERT_FILE) stays in force.
 */
void trustShippedAuthorities(const std::wstring &bundle)
{
    constexpr wchar_t Variable[] = L"SSL_CERT_FILE";
    if (GetEnvironmentVariableW(Variable, nullptr, 0) > 0 ||
        GetFileAttributesW(bundle.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    // Both copies of the environment: the system's, and the C library's that getenv reads.
    SetEnvironmentVariableW(Variable, bundle.c_str());
    _wputenv_s(Variable, bundle.c_str());
}

} // namespace

void RuntimeLibrary::load()
{
    if (runtime)
        return;
    const std::wstring root = folderOfThisModule() + L"\\Korvex\\ruby";
    const std::wstring folder = root + L"\\bin";
    const std::wstring path = folder + L"\\" KORVEX_RUBY_DLL_NAME;
    refuseOtherArchitecture(folder, path);
    // By full path with the altered search order: the runtime's own extensions and its
    // dependencies are found beside it, whatever the host's folder and PATH.
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
        throw std::runtime_error("The Ruby runtime could not be loaded from " + ansi(path) +
                                 " (Windows error " + std::to_string(GetLastError()) + ")");
    const auto *found = reinterpret_cast<const char *>(GetProcAddress(module, "ruby_version"));
    // Copied: the text lives in the module, which a wrong version unloads before it is told.
    const std::string version = found ? found : "unknown";
    if (version.rfind("3.1.", 0) != 0) {
        FreeLibrary(module);
        throw std::runtime_error("The Ruby runtime at " + ansi(path) + " is version " + version +
                                 "; Korvex needs Ruby 3.1");
    }
    for (const RuntimeVariable &variable : kRuntimeVariables) {
        void *const address = reinterpret_cast<void *>(GetProcAddress(module, variable.name));
        if (!address) {
            FreeLibrary(module);
            throw std::runtime_error(std::string("The Ruby runtime at ") + ansi(path) + " lacks " +
                                     variable.name);
        }
        *variable.address = static_cast<VALUE *>(address);
    }
    runtime = module;
    trustShippedAuthorities(root + L"\\ssl\\cert.pem");
}
