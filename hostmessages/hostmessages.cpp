#include "hostmessages/hostmessages.h"

#include "platform/textbytes.h"
#include "plinthar/plintharplugin.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace plugin {

namespace {

// No editor hands a plug-in a selection this large; a larger answer is a confused host.
constexpr LResult kMaxSelectionBytes = LResult(1) << 30;

} // namespace

LResult updateCommand(WindowHandle view, std::uint32_t commandId)
{
    return platform::sendMessage(view, MSG_UPDATE_COMMAND, commandId, 0);
}

LResult getSelText(WindowHandle view, std::uintptr_t size, char *buffer)
{
    return platform::sendMessage(view, MSG_GET_SEL_TEXT, size,
                                 reinterpret_cast<platform::LParam>(buffer));
}

LResult execCommand(WindowHandle view, std::uint32_t command)
{
    return platform::sendMessage(view, MSG_EXEC_COMMAND, command, 0);
}

LResult insertString(WindowHandle view, const char *text)
{
    return platform::sendMessage(view, MSG_INSERT_STRING, 0,
                                 reinterpret_cast<platform::LParam>(text));
}

LResult getSelType(WindowHandle view)
{
    return platform::sendMessage(view, MSG_GET_SEL_TYPE, 0, 0);
}

std::string readSelectedText(WindowHandle view)
{
    const LResult length = getSelText(view, 0, nullptr);
    if (length < 0 || length > kMaxSelectionBytes)
        throw std::runtime_error("The editor reported an invalid selection length (" +
                                 std::to_string(length) + ")");
    // The text is read straight into the string it is answered in: a large selection is
    // copied once, not twice.
    std::string buffer;
    try {
        // Two bytes more room than the terminator needs: the line list that adopts the text
        // may end its last line with CR LF without moving it to a larger buffer.
        buffer.reserve(std::size_t(length) + 3);
        buffer.assign(std::size_t(length) + 1, '\0');
    } catch (const std::bad_alloc &) {
        throw std::runtime_error("Not enough memory to read the selection (" +
                                 std::to_string(length) + " bytes)");
    }
    // The host may copy at most `length` bytes, so the last byte stays a terminator; the
    // second answer is not trusted, a host whose selection changed meanwhile just gives
    // whatever fitted.
    getSelText(view, std::uintptr_t(length), buffer.data());
    buffer.resize(platform::beforeNul(buffer).size());
    return buffer;
}

} // namespace plugin
