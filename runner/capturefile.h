#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

/**
 * The anonymous file behind a script's captured output.
 *
 * The runtime's capture streams write to outputDescriptor() and errorDescriptor() like to any
 * file, and so do child processes that get those descriptors as their standard output and
 * error; both lead to the one file, so every write lands after the ones before it. The file
 * lives in memory only and is never seen in a folder. The descriptors keep their numbers for
 * the whole process; renew() puts a fresh, empty file behind them, so that a child process
 * still holding the old file cannot write into a later run's output, and a descriptor a
 * script redirected (`$stderr.reopen`) leads to the file again.
 */
class CaptureFile
{
public:
    /// Opens the first file; throws std::system_error when the system refuses.
    CaptureFile();
    ~CaptureFile();
    CaptureFile(const CaptureFile &) = delete;
    CaptureFile &operator=(const CaptureFile &) = delete;

    /// The descriptor for the standard output stream; every write lands at the end of the file.
    int outputDescriptor() const { return m_outputDescriptor; }
    /// The descriptor for the standard error stream, to the same file.
    int errorDescriptor() const { return m_errorDescriptor; }
    /// The file's length now; throws std::system_error when it cannot be learned.
    std::uint64_t size() const;
    /// Everything written to the file so far, or its first @p limit bytes, appended to
    /// @p text; throws std::system_error when it cannot be read.
    void appendContents(std::string &text, std::uint64_t limit = UINT64_MAX) const;
    /// Reads at most @p size bytes from @p offset of the file into @p buffer while writers
    /// may be appending; answers how many it read, 0 at the end or when it cannot read.
    std::size_t readAt(std::uint64_t offset, char *buffer, std::size_t size) const;
    /// Whether the runtime's IOs over the descriptors write LF as CR LF unless told otherwise
    /// (they do on Windows).
    static bool translatesLineBreaks();
    /// Puts a fresh, empty file behind both descriptors and releases the old one's memory (once
    /// no child process holds it any more); throws std::system_error when the system refuses.
    void renew();

private:
    int m_readDescriptor = -1;   // our own hold on the file, whatever a script closes
    int m_outputDescriptor = -1; // handed to the runtime; its number never changes
    int m_errorDescriptor = -1;  // likewise
};
