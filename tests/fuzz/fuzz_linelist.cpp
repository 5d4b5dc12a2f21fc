// Line lists: whole-text assignment, adoption, appending, shared copies and the CR LF round trip,
// against a splitter simple enough to be obviously right.
#include "fuzzcheck.h"
#include "runner/linelist.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Character by character: NUL ends the text, CR LF / LF / CR end a line, and a break at the
// very end starts no further line.
std::vector<std::string> referenceLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::string current;
    bool open = false; // a line has started and not yet ended
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0')
            break;
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            current += c;
            open = true;
        }
    }
    if (open)
        lines.push_back(current);
    return lines;
}

std::string joinedWithCrLf(const LineList &list)
{
    std::string out;
    for (std::size_t i = 0; i < list.count(); ++i) {
        out += list[i];
        out += "\r\n";
    }
    return out;
}

void checkEquals(const LineList &list, const std::vector<std::string> &expected)
{
    FUZZ_CHECK(list.count() == expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        FUZZ_CHECK(list[i] == expected[i]);
}

void checkWholeText(const LineList &list)
{
    for (std::size_t i = 0; i < list.count(); ++i)
        FUZZ_CHECK(list[i].find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    const std::string text = list.text();
    FUZZ_CHECK(text == joinedWithCrLf(list));
    FUZZ_CHECK(text.size() == list.textLength());

    LineList again;
    again.setText(text);
    FUZZ_CHECK(again == list);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks where the text splits for appendText(); the rest is the text.
    const std::string_view text(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::size_t cut = text.empty() ? 0 : data[0] % (text.size() + 1);

    LineList whole;
    whole.setText("left over\r\nfrom before");
    whole.setText(text);
    checkEquals(whole, referenceLines(text));
    checkWholeText(whole);

    // Splitting in place (moving lines right to make room for CR LF) must agree too.
    LineList adopted{"left over"};
    adopted.adoptText(std::string(text));
    checkEquals(adopted, referenceLines(text));
    checkWholeText(adopted);

    // Copies share their storage until one changes; the other, and a held text, must not.
    LineList copy = whole;
    FUZZ_CHECK(copy == whole);
    const std::string before = whole.text();
    // In C-string form the copy answers the same lines; the form it holds stays as it was.
    const auto held = copy.cStringText();
    const std::string heldBefore = held ? *held : std::string();
    FUZZ_CHECK(copy == whole);
    checkEquals(copy, referenceLines(text));
    copy.extendLast(text.substr(0, cut % 4));
    copy.append("x");
    FUZZ_CHECK(whole.text() == before);
    FUZZ_CHECK(!held || *held == heldBefore);

    // Appending splits each piece on its own: a CR at the end of the first and an LF at the
    // start of the second are two breaks, not one.
    const std::string_view first = text.substr(0, cut);
    const std::string_view second = text.substr(cut);
    LineList appended;
    appended.setText(first);
    appended.appendText(second);
    std::vector<std::string> expected = referenceLines(first);
    for (std::string &line : referenceLines(second))
        expected.push_back(std::move(line));
    checkEquals(appended, expected);
    checkWholeText(appended);
    return 0;
}
