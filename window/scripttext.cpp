#include "scripttext.h"

#include "platform/textbytes.h"
#include "platform/textcoding.h"

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
