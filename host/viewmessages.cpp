#include "host/viewmessages.h"

#include "host/linebreaks.h"
#include "plinthar/plintharplugin.h"

#include <algorithm>
#include <cstring>

platform::LResult ViewMessages::answerViewMessage(platform::MessageId message,
                                                  platform::WParam wParam, platform::LParam lParam)
{
    switch (message) {
    case MSG_UPDATE_COMMAND:
        viewUpdateCommand(std::uint32_t(wParam));
        return 0;
    case MSG_GET_SEL_TEXT: {
        // Both queries read the selection as it is then.
        const std::string_view selected = viewSelection();
        const std::size_t length = LineBreaks::sizeIn(selected, LineEnding::CrLf);
        if (lParam != 0 && wParam != 0) {
            // The message carries the buffer's address as its integer argument.
            auto *buffer = reinterpret_cast<char *>(lParam); // NOLINT(performance-no-int-to-ptr)
            const std::size_t count = std::min<std::size_t>(length, wParam);
            if (length == selected.size())
                std::memcpy(buffer, selected.data(), count);
            else
                LineBreaks::copyAsCrLf(selected, buffer, count);
            if (count < wParam)
                buffer[count] = '\0';
        }
        return platform::LResult(length);
    }
    case MSG_EXEC_COMMAND:
        if (wParam == CMD_SELECT_ALL)
            viewSelectAll();
        else if (wParam == CMD_DELETE)
            viewDeleteSelection();
        return 0;
    case MSG_INSERT_STRING:
        if (lParam != 0)
            viewInsert(reinterpret_cast<const char *>(lParam)); // NOLINT(performance-no-int-to-ptr)
        return 0;
    case MSG_GET_SEL_TYPE:
        return viewHasSelection() ? 1 : 0;
    default:
        return 0;
    }
}
