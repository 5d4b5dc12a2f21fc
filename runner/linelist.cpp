#include "runner/linelist.h"

#include "platform/textbytes.h"

#include <cstring>
#include <utility>

LineList::LineList(std::initializer_list<std::string_view> lines)
{
    for (std::string_view l : lines)
        append(l);
}

std::string &LineList::ownBytes()
{
    if (!m_bytes)
        m_bytes = std::make_shared<std::string>();
    else if (m_bytes.use_count() > 1)
        m_bytes = std::make_shared<std::string>(*m_bytes);
    if (m_cStrings) {
        setBreakStarts(*m_bytes, '\r');
        m_cStrings = false;
    }
    return *m_bytes;
}

void LineList::setBreakStarts(std::string &bytes, char first) const
{
    for (const std::size_t end : m_ends)
        bytes[end] = first;
}

void LineList::append(std::string_view line)
{
    std::string &bytes = ownBytes();
    bytes.append(line);
    m_ends.push_back(bytes.size());
    bytes.append(LineBreak);
}

void LineList::extendLast(std::string_view bytes)
{
    if (m_ends.empty()) {
        append(bytes);
        return;
    }
    std::string &own = ownBytes();
    own.resize(own.size() - LineBreak.size());
    own.append(bytes);
    m_ends.back() = own.size();
    own.append(LineBreak);
}

void LineList::clear()
{
    if (m_bytes && m_bytes.use_count() == 1)
        m_bytes->clear(); // keeps the room for the next lines
    else
        m_bytes.reset();
    m_ends.clear();
    m_cStrings = false;
}

void LineList::reserve(std::size_t lines, std::size_t bytes)
{
    m_ends.reserve(lines);
    std::string &own = ownBytes();
    own.reserve(bytes + LineBreak.size() * lines);
}

std::string LineList::text() const
{
    if (!m_bytes)
        return {};
    std::string out = *m_bytes;
    if (m_cStrings)
        setBreakStarts(out, '\r');
    return out;
}

std::string LineList::takeText()
{
    std::string out;
    if (m_bytes) {
        out = m_bytes.use_count() == 1 ? std::move(*m_bytes) : *m_bytes;
        if (m_cStrings)
            setBreakStarts(out, '\r');
    }
    m_bytes.reset();
    m_ends.clear();
    m_cStrings = false;
    return out;
}

std::shared_ptr<const std::string> LineList::cStringText()
{
    if (isEmpty())
        return nullptr;
    if (!m_cStrings) {
        if (m_bytes.use_count() > 1)
            m_bytes = std::make_shared<std::string>(*m_bytes);
        setBreakStarts(*m_bytes, '\0');
        m_cStrings = true;
    }
    return m_bytes;
}

void LineList::setText(std::string_view text)
{
    clear();
    appendText(text);
}

void LineList::adoptText(std::string &&text)
{
    clear();
    text.resize(platform::beforeNul(text).size());
    m_ends.reserve(text.size() / 32 + 1);

    // First pass: where every line ends once each is followed by CR LF. When every break
    // already is CR LF, those are where the lines end now and nothing has to move.
    std::size_t shift = 0; // how far the present line moves right
    std::size_t lineStart = 0;
    platform::forEachLineBreak(text, [&](std::size_t at, std::size_t length) {
        m_ends.push_back(at + shift);
        if (length == 1)
            ++shift; // a lone CR or LF becomes CR LF
        lineStart = at + length;
        return true;
    });
    bool lastLineOpen = lineStart < text.size(); // the text ends without a break
    if (lastLineOpen) {
        m_ends.push_back(text.size() + shift);
        shift += LineBreak.size();
    }

    if (shift != 0) {
        // Second pass, from the back: every line moves right by the room its predecessors'
        // breaks gained, so nothing is overwritten before it has been moved.
        const std::size_t oldSize = text.size();
        if (text.capacity() < oldSize + shift) {
            // Exactly the room needed: resize would take twice the old capacity.
            std::string grown;
            grown.reserve(oldSize + shift);
            grown.append(text);
            text = std::move(grown);
        }
        text.resize(oldSize + shift);
        char *const data = text.data();
        std::size_t read = oldSize; // the end of what is still to be moved
        for (std::size_t i = m_ends.size(); i-- > 0;) {
            if (lastLineOpen) {
                lastLineOpen = false;
            } else {
                // A CR LF pair ends with its LF; any other break is one byte.
                read -= data[read - 1] == '\n' && read >= 2 && data[read - 2] == '\r' ? 2 : 1;
            }
            const std::size_t lineEndAt = m_ends[i];
            const std::size_t length = lineEndAt - (i == 0 ? 0 : m_ends[i - 1] + LineBreak.size());
            read -= length;
            std::memmove(data + lineEndAt - length, data + read, length);
            std::memcpy(data + lineEndAt, LineBreak.data(), LineBreak.size());
        }
    }
    m_bytes = std::make_shared<std::string>(std::move(text));
}

void LineList::appendText(std::string_view text)
{
    text = platform::beforeNul(text);
    if (text.empty())
        return;

    // Most texts have lines of some tens of bytes; a break never takes more than CR LF.
    std::string &bytes = ownBytes();
    bytes.reserve(bytes.size() + text.size() + text.size() / 16 + LineBreak.size());
    m_ends.reserve(m_ends.size() + text.size() / 32 + 1);

    std::size_t lineStart = 0;
    platform::forEachLineBreak(text, [&](std::size_t at, std::size_t length) {
        append(text.substr(lineStart, at - lineStart));
        lineStart = at + length;
        return true;
    });
    if (lineStart < text.size())
        append(text.substr(lineStart));
}
