// Script file loading: line-break normalisation under UTF-8 and, where the machine has one, a
// Shift-JIS locale; and the lossless byte trip through a UTF-16 editor under UTF-8.
#include "fuzzcheck.h"
#include "platform/textcoding.h"
#include "window/scripttext.h"

#include <algorithm>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <locale.h>
#include <string>
#include <string_view>

namespace {

locale_t utf8Locale = nullptr;
locale_t shiftJisLocale = nullptr; // stays null where no Shift-JIS locale is installed

locale_t openLocale(std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (locale_t l = newlocale(LC_ALL_MASK, name, nullptr))
            return l;
    }
    return nullptr;
}

std::string_view upToNul(std::string_view bytes)
{
    return bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
}

std::string withoutBreaks(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        if (c != '\r' && c != '\n')
            out += c;
    }
    return out;
}

// Under UTF-8 no character holds a CR or LF byte, so plain byte rules are the whole story.
std::string referenceNormalized(std::string_view bytes)
{
    bytes = upToNul(bytes);
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const char next = i + 1 < bytes.size() ? bytes[i + 1] : '\0';
        if ((c == '\r' && next == '\n') || (c == '\n' && next == '\r'))
            ++i;
        if (c == '\r' || c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

void checkNormalized(std::string_view input)
{
    const std::string out = ScriptText::normalizeLineBreaks(input);
    FUZZ_CHECK(out.find('\0') == std::string::npos);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r')
            FUZZ_CHECK(i + 1 < out.size() && out[i + 1] == '\n');
        if (out[i] == '\n')
            FUZZ_CHECK(i > 0 && out[i - 1] == '\r');
    }
    FUZZ_CHECK(withoutBreaks(out) == withoutBreaks(upToNul(input)));
    FUZZ_CHECK(ScriptText::normalizeLineBreaks(out) == out);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    utf8Locale = openLocale({"C.UTF-8", "C.utf8", "en_US.UTF-8"});
    shiftJisLocale = openLocale({"ja_JP.SJIS", "ja_JP.sjis", "ja_JP.SHIFT_JIS"});
    FUZZ_CHECK(utf8Locale != nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the locale (odd: Shift-JIS, when there is one); the rest is the file.
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    const bool shiftJis = (data[0] & 1) && shiftJisLocale != nullptr;

    const locale_t previous = uselocale(shiftJis ? shiftJisLocale : utf8Locale);
    checkNormalized(bytes);
    if (!shiftJis) {
        FUZZ_CHECK(ScriptText::normalizeLineBreaks(bytes) == referenceNormalized(bytes));
        FUZZ_CHECK(platform::editorBytes(platform::editorText(bytes)) == bytes);
    }
    uselocale(previous);
    return 0;
}
