#include "platform/win32/imagefile.h"

#include <windows.h>

#include <fstream>

namespace platform {

int imageBits(const std::wstring &path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    IMAGE_DOS_HEADER dos = {};
    if (!file.read(reinterpret_cast<char *>(&dos), sizeof dos) ||
        dos.e_magic != IMAGE_DOS_SIGNATURE)
        return 0;
    DWORD signature = 0;
    IMAGE_FILE_HEADER header = {};
    if (!file.seekg(dos.e_lfanew) ||
        !file.read(reinterpret_cast<char *>(&signature), sizeof signature) ||
        signature != IMAGE_NT_SIGNATURE ||
        !file.read(reinterpret_cast<char *>(&header), sizeof header))
        return 0;
    switch (header.Machine) {
    case IMAGE_FILE_MACHINE_I386:
        return 32;
    case IMAGE_FILE_MACHINE_AMD64:
        return 64;
    default:
        return 0;
    }
}

} // namespace platform
