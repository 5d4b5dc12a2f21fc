// Text answers of the property queries: any string in the table, any buffer size the host
// claims, with or without a buffer. Nothing may land past the buffer's size, the terminator
// sits right after the copied bytes, and the answer is the text's full length.
#include "fuzzcheck.h"
#include "platform/qt/resourceregistry.h"
#include "plugin/propertyqueries.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int TextId = 5;
constexpr int MissingId = 4;
constexpr std::size_t MaxLength = 1023; // the longest text an answer reads
constexpr std::size_t Guarded = 2048;   // room checked byte by byte for larger claimed sizes
constexpr unsigned char Guard = 0xA5;

// A stand-in library: only its address matters as the module's handle.
const char fakeLibrary = 0;
const auto fakeModule = reinterpret_cast<platform::ModuleHandle>(&fakeLibrary);

std::uint64_t readWord(const std::uint8_t *data)
{
    std::uint64_t v = 0;
    std::memcpy(&v, data, sizeof v);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Layout: mode byte, 8 bytes of size, then the string.
    if (size < 9)
        return 0;
    const std::uint8_t mode = data[0];
    const std::string text(reinterpret_cast<const char *>(data) + 9, size - 9);
    const std::size_t expectedLength = std::min(text.size(), MaxLength);

    // Sizes near the text's length find the off-by-ones; raw words find the overflows.
    const std::uint64_t word = readWord(data + 1);
    platform::WParam claimed = 0;
    switch (mode % 4) {
    case 0:
        claimed = word % 4;
        break;
    case 1:
        claimed = expectedLength + 2 - std::min<std::uint64_t>(word % 5, expectedLength + 2);
        break;
    case 2:
        claimed = word % (Guarded + 1);
        break;
    default:
        claimed = static_cast<platform::WParam>(word);
        break;
    }
    const bool withBuffer = (mode & 0x10) == 0;
    const bool missing = (mode & 0x20) != 0;

    platform::registerStringTable(fakeModule, platform::Language::English, {{TextId, text}});

    // Exactly the claimed size when it is small, so ASan sees any byte written past it.
    const std::size_t allocated = std::min<std::size_t>(claimed, Guarded);
    auto buffer = std::make_unique<char[]>(std::max<std::size_t>(allocated, 1));
    std::memset(buffer.get(), Guard, std::max<std::size_t>(allocated, 1));

    const int id = missing ? MissingId : TextId;
    const platform::LResult answer =
        PropertyQueries::textAnswer(fakeModule, id, claimed, withBuffer ? buffer.get() : nullptr);
    const std::size_t length = missing ? 0 : expectedLength;
    FUZZ_CHECK(answer == platform::LResult(length));

    std::size_t written = 0; // bytes the answer may change, terminator included
    if (withBuffer && claimed > 0) {
        const std::size_t copied = std::min<std::size_t>(length, claimed - 1);
        FUZZ_CHECK(std::memcmp(buffer.get(), text.data(), copied) == 0);
        FUZZ_CHECK(buffer[copied] == '\0');
        written = copied + 1;
    }
    for (std::size_t i = written; i < std::max<std::size_t>(allocated, 1); ++i)
        FUZZ_CHECK(static_cast<unsigned char>(buffer[i]) == Guard);

    platform::unregisterModule(fakeModule);
    return 0;
}
