#pragma once

#include "platform/windowhandle.h"

#include <cstdint>
#include <string>

/// The messages the plug-in sends to the host's view window: one wrapper per message, each
/// sending exactly that message synchronously and answering the host's reply unchanged.
namespace plugin {

using platform::LResult;
using platform::WindowHandle;

/// MSG_UPDATE_COMMAND with @p commandId.
LResult updateCommand(WindowHandle view, std::uint32_t commandId);
/// MSG_GET_SEL_TEXT: the host copies at most @p size bytes into @p buffer (nullptr: none).
LResult getSelText(WindowHandle view, std::uintptr_t size, char *buffer);
/// MSG_EXEC_COMMAND with a CMD_ number.
LResult execCommand(WindowHandle view, std::uint32_t command);
/// MSG_INSERT_STRING with the NUL-terminated @p text.
LResult insertString(WindowHandle view, const char *text);
/// MSG_GET_SEL_TYPE: 0 when nothing is selected.
LResult getSelType(WindowHandle view);

/**
 * Reads the selected text: asks for its length L, hands the host a zero-filled buffer of
 * L + 1 bytes, asks again, and answers the buffer's text up to its first NUL. A host answering
 * a negative or absurd length makes it throw std::runtime_error; it never writes out of bounds.
 */
std::string readSelectedText(WindowHandle view);

} // namespace plugin
