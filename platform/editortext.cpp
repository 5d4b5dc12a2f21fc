#include "editortext.h"

#include "platform/textcoding.h"

namespace platform::editortext {

std::size_t decodeUtf8(const unsigned char *at, const unsigned char *end, std::u16string &out)
{
    const unsigned char lead = at[0];
    if (lead < 0x80) {
        out += char16_t(lead);
        return 1;
    }
    std::size_t length = 0;
    char32_t least = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, least = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, least = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, least = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (std::size_t(end - at) < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((at[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (at[i] & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    if (code >= 0x10000) {
        out += char16_t(0xD800 + ((code - 0x10000) >> 10));
        out += char16_t(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
        out += char16_t(code);
    }
    return length;
}

void encodeUtf8(std::u16string_view run, std::string &out)
{
    for (std::size_t i = 0; i < run.size(); ++i) {
        char32_t code = run[i];
        const bool pair = code >= 0xD800 && code <= 0xDBFF && i + 1 < run.size() &&
                          run[i + 1] >= 0xDC00 && run[i + 1] <= 0xDFFF;
        if (pair)
            code = 0x10000 + ((code - 0xD800) << 10) + (run[++i] - 0xDC00);
        else if (code >= 0xD800 && code <= 0xDFFF)
            code = 0xFFFD; // a lone surrogate typed or pasted: no UTF-8 holds it
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xC0 | (code >> 6));
            out += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += char(0xE0 | (code >> 12));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        } else {
            out += char(0xF0 | (code >> 18));
            out += char(0x80 | ((code >> 12) & 0x3F));
            out += char(0x80 | ((code >> 6) & 0x3F));
            out += char(0x80 | (code & 0x3F));
        }
    }
}

} // namespace platform::editortext

namespace platform {

bool isUtf8(std::string_view bytes)
{
    std::u16string scratch;
    auto at = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto end = at + bytes.size();
    while (at < end) {
        const std::size_t length = editortext::decodeUtf8(at, end, scratch);
        if (length == 0)
            return false;
        at += length;
        scratch.clear();
    }
    return true;
}

} // namespace platform
