#pragma once

#include "platform/platform_export.h"
#include "platform/windowhandle.h"

#include <string>

/// The Windows message box.
namespace platform {

enum class MessageBoxStyle {
    OkError,       ///< OK button, error icon
    YesNoQuestion, ///< Yes and No buttons, question icon
};

enum class MessageBoxResult { Ok = 1, Yes = 6, No = 7 };

/// Shows a modal message box owned by @p owner and answers the user's choice. @p text and
/// @p caption are in the system's coding (the locale's; the ANSI code page on Windows).
PLATFORM_EXPORT MessageBoxResult messageBox(WindowHandle owner, const std::string &text,
                                            const std::string &caption, MessageBoxStyle style);

} // namespace platform
