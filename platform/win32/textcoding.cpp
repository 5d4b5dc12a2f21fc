#include "platform/textcoding.h"

#include "editortext.h"

#include <windows.h>

#include <cstring>

namespace platform {

TextCoding systemCoding()
{
    switch (GetACP()) {
    case CP_UTF8:
        return TextCoding::Utf8;
    case 932:
        return TextCoding::ShiftJis;
    default:
        return TextCoding::Other;
    }
}

std::string systemText(std::string_view utf8)
{
    const int count = static_cast<int>(utf8.size());
    const int wideSize = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), count, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), count, wide.data(), wideSize);
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, text.data(), size, nullptr, nullptr);
    return text;
}

namespace {

/// The decode step of the ANSI code page: one character, which must encode back to the same
/// bytes (of two codes for one character, the second would not survive the editor).
std::size_t decodeAnsi(const unsigned char *at, const unsigned char *end, std::u16string &out)
{
    const std::size_t length = IsDBCSLeadByteEx(CP_ACP, *at) ? 2 : 1;
    if (std::size_t(end - at) < length)
        return 0;
    const auto bytes = reinterpret_cast<const char *>(at);
    wchar_t wide[2] = {};
    const int count =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, int(length), wide, 2);
    if (count <= 0)
        return 0;
    char back[8] = {};
    BOOL lossy = FALSE;
    const int backLength = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, count, back,
                                               int(sizeof back), nullptr, &lossy);
    if (lossy || backLength != int(length) || std::memcmp(back, bytes, length) != 0)
        return 0;
    out.append(reinterpret_cast<const char16_t *>(wide), std::size_t(count));
    return length;
}

/// The encode step of the ANSI code page; what it cannot hold becomes its default character.
void encodeAnsi(std::u16string_view run, std::string &out)
{
    if (run.empty())
        return;
    const auto wide = reinterpret_cast<const wchar_t *>(run.data());
    const int count = int(run.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, count, nullptr, 0, nullptr, nullptr);
    const std::size_t start = out.size();
    out.resize(start + std::size_t(size > 0 ? size : 0));
    WideCharToMultiByte(CP_ACP, 0, wide, count, out.data() + start, size, nullptr, nullptr);
}

} // namespace

std::u16string editorText(std::string_view bytes, TextCoding coding)
{
    if (coding == TextCoding::Utf8)
        return editortext::decode(bytes, editortext::decodeUtf8);
    return editortext::decode(bytes, decodeAnsi);
}

std::string editorBytes(std::u16string_view text, TextCoding coding)
{
    if (coding == TextCoding::Utf8)
        return editortext::encode(text, editortext::encodeUtf8);
    return editortext::encode(text, encodeAnsi);
}

} // namespace platform
