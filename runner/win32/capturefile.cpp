#include "capturefile.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include <fcntl.h>
#include <io.h>
#include <system_error>

namespace {

[[noreturn]] void throwSystemError(const char *what)
{
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

/// Moves @p fd to a number above 0 to 2: a host started without standard streams has those
/// free, and whatever later takes them must not land on this file.
int aboveStandardStreams(int fd)
{
    if (fd > 2)
        return fd;
    const int moved = aboveStandardStreams(_dup(fd)); // fd keeps its number taken meanwhile
    _close(fd);
    return moved;
}

/// A C runtime descriptor over @p file, or an exception (the handle closed).
int descriptorOf(HANDLE file, int flags)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        throwSystemError("Could not set up the output capture file");
    }
    return aboveStandardStreams(fd);
}

/// The file behind the capture: Windows has no file without a name, so a temporary one that
/// goes when the last handle to it closes. One descriptor reads it from the start; the writers'
/// descriptors (@p writers) may only append, so every write lands at its end, whoever else
/// writes there.
int openCaptureFile(int (&writers)[2])
{
    char folder[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "kvx", 0, name) == 0)
        throwSystemError("Could not create the output capture file");
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE reader =
        CreateFileA(name, GENERIC_READ, share, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (reader == INVALID_HANDLE_VALUE) {
        DeleteFileA(name);
        throwSystemError("Could not create the output capture file");
    }
    const int readFd = descriptorOf(reader, _O_RDONLY);
    for (int &writer : writers) {
        const HANDLE file = CreateFileA(name, FILE_APPEND_DATA | SYNCHRONIZE, share, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            _close(readFd);
            throwSystemError("Could not set up the output capture file");
        }
        writer = descriptorOf(file, _O_WRONLY | _O_APPEND);
    }
    return readFd;
}

} // namespace

CaptureFile::CaptureFile()
{
    int writers[2] = {-1, -1};
    m_readDescriptor = openCaptureFile(writers);
    m_outputDescriptor = writers[0];
    m_errorDescriptor = writers[1];
}

CaptureFile::~CaptureFile()
{
    _close(m_errorDescriptor);
    _close(m_outputDescriptor);
    _close(m_readDescriptor);
}

std::uint64_t CaptureFile::size() const
{
    const __int64 length = _filelengthi64(m_readDescriptor);
    if (length < 0)
        throwSystemError("Could not read the script's output");
    return static_cast<std::uint64_t>(length);
}

void CaptureFile::appendContents(std::string &text, std::uint64_t limit) const
{
    if (_lseeki64(m_readDescriptor, 0, SEEK_SET) != 0)
        throwSystemError("Could not read the script's output");
    const std::size_t start = text.size();
    const std::uint64_t size = std::min(this->size(), limit);
    text.reserve(start + static_cast<std::size_t>(size));
    char chunk[65536];
    for (std::uint64_t left = size; left > 0;) {
        const int n = _read(m_readDescriptor, chunk,
                            static_cast<unsigned int>(std::min<std::uint64_t>(left, sizeof chunk)));
        if (n < 0) {
            text.resize(start);
            throwSystemError("Could not read the script's output");
        }
        if (n == 0)
            break;
        text.append(chunk, static_cast<std::size_t>(n));
        left -= static_cast<std::uint64_t>(n);
    }
}

std::size_t CaptureFile::readAt(std::uint64_t offset, char *buffer, std::size_t size) const
{
    // The read descriptor is ours alone, so moving its position disturbs no writer.
    if (_lseeki64(m_readDescriptor, static_cast<__int64>(offset), SEEK_SET) < 0)
        return 0;
    const unsigned int wanted = size > 0x40000000 ? 0x40000000u : static_cast<unsigned int>(size);
    const int n = _read(m_readDescriptor, buffer, wanted);
    return n < 0 ? 0 : static_cast<std::size_t>(n);
}

void CaptureFile::renew()
{
    int writers[2] = {-1, -1};
    const int reader = openCaptureFile(writers);
    const bool moved =
        _dup2(writers[0], m_outputDescriptor) == 0 && _dup2(writers[1], m_errorDescriptor) == 0;
    _close(writers[0]);
    _close(writers[1]);
    if (!moved) {
        _close(reader);
        throwSystemError("Could not renew the output capture file");
    }
    _close(m_readDescriptor);
    m_readDescriptor = reader;
}

bool CaptureFile::translatesLineBreaks()
{
    return true;
}
