#include "ansitext.h"

#include <climits>
#include <stdexcept>

namespace AnsiText {

namespace {

int checkedSize(std::size_t size)
{
    if (size > std::size_t(INT_MAX))
        throw std::length_error("a text of 2 GB or more cannot be converted");
    return int(size);
}

} // namespace

std::wstring wide(std::string_view bytes, UINT codePage)
{
    if (bytes.empty())
        return {};
    const int count = checkedSize(bytes.size());
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), count, nullptr, 0);
    std::wstring text(std::size_t(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), count, text.data(), size);
    return text;
}

std::string bytes(std::wstring_view text, UINT codePage)
{
    if (text.empty())
        return {};
    const int count = checkedSize(text.size());
    const int size =
        WideCharToMultiByte(codePage, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), count, out.data(), size, nullptr, nullptr);
    return out;
}

std::string systemMessage(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : std::wstring();
    if (text)
        LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    if (message.empty())
        return "Windows error " + std::to_string(error);
    return bytes(message);
}

} // namespace AnsiText
