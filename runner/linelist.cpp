#include "linelist.h"

#include "platform/textbytes.h"

#include <cstring>
#include <utility>

namespace {

/// The end of the line that starts at @p p: its first CR or LF, or @p end.
const char *lineEnd(const char *p, const char *end)
{
    while (p < end && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

} // namespace

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
    return *m_bytes;
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
}

void LineList::reserve(std::size_t lines, std::size_t bytes)
{
    m_ends.reserve(lines);
    std::string &own = ownBytes();
    own.reserve(bytes + LineBreak.size() * lines);
}

std::string LineList::text() const
{
    return m_bytes ? *m_bytes : std::string();
}

std::shared_ptr<const std::string> LineList::sharedText() const
{
    return isEmpty() ? nullptr : m_bytes;
}

std::string LineList::takeText()
{
    std::string out;
    if (m_bytes)
        out = m_bytes.use_count() == 1 ? std::move(*m_bytes) : *m_bytes;
    m_bytes.reset();
    m_ends.clear();
    return out;
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
    const char *const base = text.data();
    const char *const end = base + text.size();
    std::size_t shift = 0;     // how far the present line moves right
    bool lastLineOpen = false; // the text ends without a break
    for (const char *p = base; p < end;) {
        const char *q = lineEnd(p, end);
        m_ends.push_back(std::size_t(q - base) + shift);
        if (q == end) {
            lastLineOpen = true;
            shift += LineBreak.size();
            break;
        }
        if (*q == '\r' && q + 1 < end && q[1] == '\n')
            ++q;
        else
            ++shift; // a lone CR or LF becomes CR LF
        p = q + 1;
    }

    if (shift != 0) {
        // Second pass, from the back: every line moves right by the room its predecessors'
        // breaks gained, so nothing is overwritten before it has been moved.
        const std::size_t oldSize = text.size();
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

    const char *p = text.data();
    const char *const end = p + text.size();
    while (p < end) {
        const char *q = lineEnd(p, end);
        append(std::string_view(p, std::size_t(q - p)));
        if (q == end)
            break;
        if (*q == '\r' && q + 1 < end && q[1] == '\n')
            ++q;
        p = q + 1;
    }
}
