#include "linelist.h"

#include <algorithm>
#include <cstring>

LineList::LineList(std::initializer_list<std::string_view> lines)
{
    for (std::string_view l : lines)
        append(l);
}

void LineList::append(std::string_view line)
{
    m_bytes.append(line);
    m_ends.push_back(m_bytes.size());
}

void LineList::extendLast(std::string_view bytes)
{
    if (m_ends.empty()) {
        append(bytes);
        return;
    }
    m_bytes.append(bytes);
    m_ends.back() = m_bytes.size();
}

void LineList::clear()
{
    m_bytes.clear();
    m_ends.clear();
}

void LineList::reserve(std::size_t lines, std::size_t bytes)
{
    m_ends.reserve(lines);
    m_bytes.reserve(bytes);
}

std::string LineList::text() const
{
    std::string out;
    out.resize(textLength());
    char *dst = out.data();
    std::size_t begin = 0;
    for (std::size_t end : m_ends) {
        const std::size_t n = end - begin;
        std::memcpy(dst, m_bytes.data() + begin, n);
        dst += n;
        *dst++ = '\r';
        *dst++ = '\n';
        begin = end;
    }
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
    if (const void *nul = std::memchr(text.data(), '\0', text.size()))
        text.resize(static_cast<std::size_t>(static_cast<const char *>(nul) - text.data()));
    m_ends.reserve(text.size() / 32 + 1);
    // The lines are moved down over the line breaks; the write position never passes the read
    // position, so the text can be compacted in place.
    char *const base = text.data();
    const char *p = base;
    const char *const end = base + text.size();
    char *w = base;
    while (p < end) {
        const char *q = p;
        while (q < end && *q != '\r' && *q != '\n')
            ++q;
        const std::size_t n = static_cast<std::size_t>(q - p);
        if (w != p)
            std::memmove(w, p, n);
        w += n;
        m_ends.push_back(static_cast<std::size_t>(w - base));
        if (q == end)
            break;
        if (*q == '\r' && q + 1 < end && q[1] == '\n')
            ++q;
        p = q + 1;
    }
    text.resize(static_cast<std::size_t>(w - base));
    m_bytes = std::move(text);
}

void LineList::appendText(std::string_view text)
{
    if (const void *nul = std::memchr(text.data(), '\0', text.size()))
        text = text.substr(0, static_cast<const char *>(nul) - text.data());
    if (text.empty())
        return;

    // Line bytes never exceed the text, and most texts have lines of some tens of bytes.
    m_bytes.reserve(m_bytes.size() + text.size());
    m_ends.reserve(m_ends.size() + text.size() / 32 + 1);

    const char *p = text.data();
    const char *const end = p + text.size();
    while (p < end) {
        const char *q = p;
        while (q < end && *q != '\r' && *q != '\n')
            ++q;
        append(std::string_view(p, q - p));
        if (q == end)
            break;
        if (*q == '\r' && q + 1 < end && q[1] == '\n')
            ++q;
        p = q + 1;
    }
}
