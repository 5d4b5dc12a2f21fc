#include "platform/textcoding.h"

#include <windows.h>

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

} // namespace platform
