#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/**
 * Text of a UTF-16 editor that keeps every byte of the text it was given, whatever the coding:
 * a byte that starts no valid character becomes the lone surrogate U+DC80 + (byte - 0x80),
 * which no valid text holds (bytes below 0x80 are characters in every coding used here).
 * The platform layers build their editor text codings on this.
 */
namespace platform::editortext {

/// Decodes @p bytes: @p decode(at, end, out) appends the UTF-16 of the valid character at
/// @p at to @p out and answers its length in bytes, or answers 0 when none starts there.
template <typename Decode> std::u16string decode(std::string_view bytes, Decode decodeOne)
{
    std::u16string out;
    out.reserve(bytes.size());
    auto at = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto end = at + bytes.size();
    while (at < end) {
        const std::size_t length = decodeOne(at, end, out);
        if (length > 0) {
            at += length;
        } else {
            out += *at < 0x80 ? char16_t(*at) : char16_t(0xDC80 + (*at - 0x80));
            ++at;
        }
    }
    return out;
}

/// Encodes @p text: @p encode(run, out) appends the bytes of @p run, UTF-16 without escapes,
/// to @p out; the escapes give back their bytes.
template <typename Encode> std::string encode(std::u16string_view text, Encode encodeRun)
{
    std::string out;
    out.reserve(text.size() * 3 / 2);
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool paired = i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF;
        if (unit >= 0xDC80 && unit <= 0xDCFF && !paired) {
            encodeRun(text.substr(runStart, i - runStart), out);
            out += static_cast<char>(unit - 0xDC80 + 0x80);
            runStart = i + 1;
        }
    }
    encodeRun(text.substr(runStart), out);
    return out;
}

/// The decode step of UTF-8 (a well-formed character, no surrogates, no overlong forms).
std::size_t decodeUtf8(const unsigned char *at, const unsigned char *end, std::u16string &out);
/// The encode step of UTF-8.
void encodeUtf8(std::u16string_view run, std::string &out);

} // namespace platform::editortext
