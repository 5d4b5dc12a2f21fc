#pragma once

#include "platform_export.h"
#include "windowhandle.h"

#include <functional>
#include <string>

/// Stand-in for the Windows message box.
namespace platform {

enum class MessageBoxStyle {
    OkError,       ///< OK button, error icon
    YesNoQuestion, ///< Yes and No buttons, question icon
};

enum class MessageBoxResult { Ok = 1, Yes = 6, No = 7 };

/// Answers a message box instead of the user (tests, batch mode).
using MessageBoxHook = std::function<MessageBoxResult(
    WindowHandle owner, const std::string &text, const std::string &caption, MessageBoxStyle)>;

/// Shows a modal message box owned by @p owner and answers the user's choice. @p text and
/// @p caption are in the locale's coding. With a hook installed, the hook answers instead.
PLATFORM_EXPORT MessageBoxResult messageBox(WindowHandle owner, const std::string &text,
                                            const std::string &caption, MessageBoxStyle style);

/// Installs @p hook (an empty one removes it) and answers the previous hook.
PLATFORM_EXPORT MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

} // namespace platform
