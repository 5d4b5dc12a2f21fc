// Reading the selection from a host that may lie: the two length answers differ, may be
// negative or absurd, and the text may hold NULs. The reader must stay inside its buffer,
// hand the host exactly the length it learnt, and either answer the text up to its first NUL
// or throw std::runtime_error.
#include "fuzzcheck.h"
#include "hostmessages/hostmessages.h"
#include "platform/qt/windowregistry.h"
#include "plinthar/plintharplugin.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

constexpr platform::LResult Limit = platform::LResult(1) << 30; // the reader's sanity bound

struct FakeHost
{
    std::string_view text;          // the selection the host copies from
    platform::LResult answers[2]{}; // its first and second length answers
    bool terminates = false;        // whether it writes a NUL after the copied bytes
    int calls = 0;
    platform::WParam secondSize = 0;
    bool secondHadBuffer = false;
};

FakeHost host;

platform::LResult hostProc(platform::WindowHandle, platform::MessageId message,
                           platform::WParam wParam, platform::LParam lParam)
{
    if (message != MSG_GET_SEL_TEXT)
        return 0;
    const int call = host.calls++;
    if (call == 1) {
        host.secondSize = wParam;
        host.secondHadBuffer = lParam != 0;
    }
    if (lParam != 0 && wParam > 0) {
        // A well-behaved host copies at most wParam bytes, its terminator not counted.
        char *buffer = reinterpret_cast<char *>(lParam);
        const std::size_t n = std::min<std::size_t>(wParam, host.text.size());
        std::memcpy(buffer, host.text.data(), n);
        if (host.terminates)
            buffer[n] = '\0';
    }
    return host.answers[std::min(call, 1)];
}

platform::WindowHandle view = nullptr;

// A length answer from one input byte and a raw word: mostly near the text's length, where the
// off-by-ones live, sometimes negative or far beyond any selection.
platform::LResult lengthAnswer(std::uint8_t kind, std::uint64_t word, std::size_t textSize)
{
    const auto near = static_cast<platform::LResult>(textSize);
    switch (kind % 8) {
    case 0:
        return 0;
    case 1:
        return near;
    case 2:
        return std::max<platform::LResult>(0, near - platform::LResult(word % 4));
    case 3:
        return near + platform::LResult(word % 64);
    case 4:
        return -1 - platform::LResult(word % 1000);
    case 5:
        return Limit + 1 + platform::LResult(word % 1000);
    case 6:
        return std::numeric_limits<platform::LResult>::min() + platform::LResult(word % 2);
    default:
        return std::numeric_limits<platform::LResult>::max() - platform::LResult(word % 2);
    }
}

std::uint64_t readWord(const std::uint8_t *data)
{
    std::uint64_t v = 0;
    std::memcpy(&v, data, sizeof v);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    view = platform::createWindow("PlintharView", nullptr, hostProc);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Layout: flags byte, first answer's kind, second answer's kind, 8-byte word, the text.
    if (size < 11)
        return 0;
    host = FakeHost{};
    host.text = std::string_view(reinterpret_cast<const char *>(data) + 11, size - 11);
    host.terminates = (data[0] & 1) != 0;
    const std::uint64_t word = readWord(data + 3);
    host.answers[0] = lengthAnswer(data[1], word, host.text.size());
    host.answers[1] = lengthAnswer(data[2], word >> 8, host.text.size());
    const platform::LResult length = host.answers[0];

    std::string result;
    bool threw = false;
    try {
        result = plugin::readSelectedText(view);
    } catch (const std::runtime_error &) {
        threw = true;
    }

    if (length < 0 || length > Limit) {
        FUZZ_CHECK(threw);
        FUZZ_CHECK(host.calls == 1);
        return 0;
    }
    FUZZ_CHECK(!threw);
    FUZZ_CHECK(host.calls == 2);
    FUZZ_CHECK(host.secondSize == platform::WParam(length));
    FUZZ_CHECK(host.secondHadBuffer);
    // What fitted, up to its first NUL; a terminator-less host still leaves one zero byte.
    std::string_view expected = host.text.substr(0, std::size_t(length));
    expected = expected.substr(0, std::min(expected.find('\0'), expected.size()));
    FUZZ_CHECK(result == expected);
    return 0;
}
