#pragma once

#include "platform/messagebox.h"

#include <functional>
#include <string>

/// Message boxes of the Linux stand-in answered by a program instead of the user (tests,
/// batch mode).
namespace platform {

/// Answers a message box instead of the user.
using MessageBoxHook = std::function<MessageBoxResult(WindowHandle owner, const std::string &text,
                                                      const std::string &caption, MessageBoxStyle)>;

/// Installs @p hook (an empty one removes it) and answers the previous hook.
PLATFORM_EXPORT MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

} // namespace platform
