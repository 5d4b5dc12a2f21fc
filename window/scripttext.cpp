#include "scripttext.h"

#include "platform/textcoding.h"

#include <cstring>

namespace {

bool isShiftJisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Only these follow a lead byte in a character; a lead byte before CR or LF is a stray byte.
bool isShiftJisTrailByte(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

} // namespace

namespace ScriptText {

std::string normalizeLineBreaks(std::string_view bytes)
{
    if (const void *nul = std::memchr(bytes.data(), '\0', bytes.size()))
        bytes = bytes.substr(0, static_cast<const char *>(nul) - bytes.data());
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
        } else if (doubleByte && isShiftJisLeadByte(static_cast<unsigned char>(c)) &&
                   i + 1 < bytes.size() &&
                   isShiftJisTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            out += c;
            out += bytes[++i];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace ScriptText
