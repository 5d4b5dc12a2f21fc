#include "capturefile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

[[noreturn]] void throwSystemError(const char *what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

/// Closes @p descriptor keeping errno as it was, for cleaning up before a report.
void closeKeepingErrno(int descriptor)
{
    const int error = errno;
    ::close(descriptor);
    errno = error;
}

int duplicateAboveStandardStreams(int descriptor)
{
    // A host started without standard streams has 0 to 2 free; whatever later takes those
    // numbers must not land on this file.
    return ::fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
}

int openAnonymousFile()
{
    int fd = ::memfd_create("korvex-output", MFD_CLOEXEC);
    if (fd < 0)
        throwSystemError("Could not create the output capture file");
    if (fd <= STDERR_FILENO) {
        const int moved = duplicateAboveStandardStreams(fd);
        closeKeepingErrno(fd);
        if (moved < 0)
            throwSystemError("Could not create the output capture file");
        fd = moved;
    }
    // Appending keeps every writer's bytes, a child's included, whatever a script seeks to.
    if (::fcntl(fd, F_SETFL, O_APPEND) != 0) {
        closeKeepingErrno(fd);
        throwSystemError("Could not set up the output capture file");
    }
    return fd;
}

} // namespace

CaptureFile::CaptureFile() : m_readDescriptor(openAnonymousFile())
{
    m_outputDescriptor = duplicateAboveStandardStreams(m_readDescriptor);
    m_errorDescriptor = duplicateAboveStandardStreams(m_readDescriptor);
    if (m_outputDescriptor < 0 || m_errorDescriptor < 0) {
        const int error = errno;
        for (const int fd : {m_readDescriptor, m_outputDescriptor, m_errorDescriptor}) {
            if (fd >= 0)
                ::close(fd);
        }
        errno = error;
        throwSystemError("Could not set up the output capture file");
    }
}

CaptureFile::~CaptureFile()
{
    ::close(m_errorDescriptor);
    ::close(m_outputDescriptor);
    ::close(m_readDescriptor);
}

std::uint64_t CaptureFile::size() const
{
    struct stat status = {};
    if (::fstat(m_readDescriptor, &status) != 0)
        throwSystemError("Could not read the script's output");
    return static_cast<std::uint64_t>(status.st_size);
}

void CaptureFile::appendContents(std::string &text, std::uint64_t limit) const
{
    const std::size_t start = text.size();
    const auto size = static_cast<std::size_t>(std::min(this->size(), limit));
    text.resize(start + size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(m_readDescriptor, text.data() + start + done, size - done,
                                  static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            text.resize(start);
            throwSystemError("Could not read the script's output");
        }
        if (n == 0)
            break; // someone shortened the file meanwhile
        done += static_cast<std::size_t>(n);
    }
    text.resize(start + done);
}

std::size_t CaptureFile::readAt(std::uint64_t offset, char *buffer, std::size_t size) const
{
    for (;;) {
        const ssize_t n = ::pread(m_readDescriptor, buffer, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 ? 0 : static_cast<std::size_t>(n);
    }
}

void CaptureFile::renew()
{
    const int fresh = openAnonymousFile();
    if (::dup3(fresh, m_outputDescriptor, O_CLOEXEC) < 0 ||
        ::dup3(fresh, m_errorDescriptor, O_CLOEXEC) < 0) {
        closeKeepingErrno(fresh);
        throwSystemError("Could not renew the output capture file");
    }
    ::close(m_readDescriptor);
    m_readDescriptor = fresh;
}

bool CaptureFile::translatesLineBreaks()
{
    return false;
}
