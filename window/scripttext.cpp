#include "window/scripttext.h"

#include "platform/textbytes.h"
#include "platform/textcoding.h"

#include <cctype>
#include <cstring>

namespace ScriptText {

std::string normalizeLineBreaks(std::string_view bytes)
{
    bytes = platform::beforeNul(bytes);
    const bool doubleByte = platform::systemCoding() == platform::TextCoding::ShiftJis;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\r')
                ++i;
        } else if (doubleByte && platform::isShiftJisLeadByte(static_cast<unsigned char>(c)) &&
                   i + 1 < bytes.size() &&
                   platform::isShiftJisTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            out += c;
            out += bytes[++i];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace ScriptText

namespace {

/// The line of @p bytes a magic comment stands in: the first, or the second after a `#!` line.
std::string_view magicCommentLine(std::string_view bytes)
{
    const auto lineAt = [&bytes](std::size_t start) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        return bytes.substr(start, end == std::string_view::npos ? end : end - start);
    };
    const std::string_view first = lineAt(0);
    if (!first.starts_with("#!"))
        return first;
    const std::size_t next = bytes.find('\n');
    return next == std::string_view::npos ? std::string_view() : lineAt(next + 1);
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

/// The coding a magic comment in @p line names (`coding: NAME`, `coding=NAME`, in any case,
/// as in `# -*- coding: utf-8 -*-` or `# vim: fileencoding=utf-8`), lower case; empty when
/// the line names none.
std::string namedCoding(std::string_view line)
{
    const std::size_t comment = line.find('#');
    if (comment == std::string_view::npos)
        return {};
    std::string text;
    for (char c : line.substr(comment))
        text += lower(c);
    for (std::size_t at = text.find("coding"); at != std::string::npos;
         at = text.find("coding", at + 1)) {
        std::size_t name = at + 6;
        if (name >= text.size() || (text[name] != ':' && text[name] != '='))
            continue;
        while (++name < text.size() && (text[name] == ' ' || text[name] == '\t')) {
        }
        std::size_t end = name;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) ||
                                     text[end] == '-' || text[end] == '_'))
            ++end;
        if (end > name)
            return text.substr(name, end - name);
    }
    return {};
}

} // namespace

namespace ScriptText {

platform::TextCoding fileCoding(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return platform::TextCoding::Utf8;
    const std::string named = namedCoding(magicCommentLine(bytes));
    if (named == "utf-8" || named == "utf8")
        return platform::TextCoding::Utf8;
    if (named.empty() && platform::isUtf8(bytes))
        return platform::TextCoding::Utf8;
    return platform::systemCoding();
}

} // namespace ScriptText
