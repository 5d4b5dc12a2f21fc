#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/**
 * An ordered list of 8-bit text lines.
 *
 * The lines live in one contiguous buffer, each followed by CR LF, so a list of a million
 * lines costs two allocations, not a million, and its joined text is the buffer itself.
 * Copies share that buffer until one of them is modified.
 */
class LineList
{
public:
    LineList() = default;
    LineList(std::initializer_list<std::string_view> lines);

    /// Number of lines.
    std::size_t count() const { return m_ends.size(); }
    bool isEmpty() const { return m_ends.empty(); }

    /// Line @p index (0-based, must be < count()), without its line break; valid until the
    /// list is next modified.
    std::string_view line(std::size_t index) const
    {
        const std::size_t begin = index == 0 ? 0 : m_ends[index - 1] + LineBreak.size();
        return std::string_view(*m_bytes).substr(begin, m_ends[index] - begin);
    }
    std::string_view operator[](std::size_t index) const { return line(index); }

    /// Appends one line; @p line must not hold a line break.
    void append(std::string_view line);
    /// Appends @p bytes to the last line (appends a new line when the list is empty).
    void extendLast(std::string_view bytes);
    /// Removes every line.
    void clear();
    /// Reserves room for @p lines lines holding @p bytes bytes in all.
    void reserve(std::size_t lines, std::size_t bytes);

    /// The whole text: every line followed by CR LF, the last one included; empty for no lines.
    std::string text() const;
    /// Length in bytes of text(), without building it.
    std::size_t textLength() const { return m_bytes ? m_bytes->size() : 0; }
    /// Answers text() and leaves the list empty; the text is not copied unless it is shared.
    std::string takeText();
    /**
     * The list's storage with every line followed by NUL LF instead of CR LF, so that each
     * line can be read in place as a C string; null for no lines. It stays unchanged for as
     * long as it is held, and line(i) stays where it was in it. The storage is changed in place
     * unless another list shares it; the list answers the same lines and text as before.
     */
    std::shared_ptr<const std::string> cStringText();

    /**
     * Replaces the lines by @p text split into lines. Reading stops at the first NUL byte.
     * CR LF, a lone LF and a lone CR each end a line (so LF CR is two line ends with an empty
     * line between); a break at the very end adds no empty line.
     */
    void setText(std::string_view text);
    /// As setText(), splitting @p text in its own storage instead of copying it: a large text
    /// then costs no second buffer, and a text whose lines all end with CR LF is not even moved.
    void adoptText(std::string &&text);
    /// Appends the lines of @p text split as setText() splits, keeping the present lines.
    void appendText(std::string_view text);

    friend bool operator==(const LineList &a, const LineList &b)
    {
        return a.m_ends == b.m_ends &&
               (a.m_cStrings == b.m_cStrings ? a.bytes() == b.bytes() : a.text() == b.text());
    }

private:
    static constexpr std::string_view LineBreak = "\r\n"; // after every line in the storage

    std::string_view bytes() const
    {
        return m_bytes ? std::string_view(*m_bytes) : std::string_view();
    }
    /// The buffer, made the list's own (and allocated) first if it is shared or missing, with
    /// CR LF after every line.
    std::string &ownBytes();
    /// Puts @p first as the first byte of every line's break in @p bytes.
    void setBreakStarts(std::string &bytes, char first) const;

    std::shared_ptr<std::string> m_bytes; // every line followed by CR LF; null when never used
    std::vector<std::size_t> m_ends;      // m_ends[i]: end of line i (where its CR is)
    bool m_cStrings = false;              // the breaks in m_bytes are NUL LF (cStringText)
};
