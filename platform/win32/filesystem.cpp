#include "platform/filesystem.h"

#include <windows.h>

namespace platform {

char pathSeparator()
{
    return '\\';
}

bool folderExists(const std::string &path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileExists(const std::string &path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool createFolder(const std::string &path)
{
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

std::vector<std::string> findEntries(const std::string &folder, const std::string &wildcard)
{
    // Every kind of entry, as the attribute mask 63 asks: FindFirstFile delivers them all.
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry = {};
    const std::string pattern = folder + '\\' + wildcard;
    const HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

std::optional<std::string> readFile(const std::string &path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<std::string> bytes;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 0 && size.QuadPart < (1LL << 31)) {
        std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
        DWORD done = 0;
        if (ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &done, nullptr)) {
            content.resize(done);
            bytes = std::move(content);
        }
    }
    CloseHandle(file);
    return bytes;
}

} // namespace platform
