#include "platform/messagebox.h"

#include <windows.h>

namespace platform {

MessageBoxResult messageBox(WindowHandle owner, const std::string &text, const std::string &caption,
                            MessageBoxStyle style)
{
    const UINT type =
        style == MessageBoxStyle::YesNoQuestion ? MB_YESNO | MB_ICONQUESTION : MB_OK | MB_ICONERROR;
    switch (MessageBoxA(owner, text.c_str(), caption.c_str(), type)) {
    case IDYES:
        return MessageBoxResult::Yes;
    case IDNO:
        return MessageBoxResult::No;
    default:
        return style == MessageBoxStyle::YesNoQuestion ? MessageBoxResult::No
                                                       : MessageBoxResult::Ok;
    }
}

} // namespace platform
