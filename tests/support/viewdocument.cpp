#include "viewdocument.h"

#include "plinthar/plintharplugin.h"

#include <algorithm>
#include <cstring>

platform::LResult ViewDocument::answer(platform::MessageId id, platform::WParam wParam,
                                       platform::LParam lParam)
{
    messages.push_back({id, wParam});
    const std::size_t length = selectionEnd - selectionStart;
    switch (id) {
    case MSG_GET_SEL_TYPE:
        return length != 0;
    case MSG_GET_SEL_TEXT:
        if (lParam != 0)
            std::memcpy(reinterpret_cast<char *>(lParam), document.data() + selectionStart,
                        std::min<std::size_t>(wParam, length));
        return forcedLength ? *forcedLength : platform::LResult(length);
    case MSG_EXEC_COMMAND:
        if (wParam == CMD_SELECT_ALL)
            select(0, document.size());
        if (wParam == CMD_DELETE) {
            document.erase(selectionStart, length);
            selectionEnd = selectionStart;
        }
        return 0;
    case MSG_INSERT_STRING: {
        const std::string text = reinterpret_cast<const char *>(lParam);
        document.insert(selectionStart, text);
        selectionStart = selectionEnd = selectionStart + text.size();
        return 0;
    }
    default:
        return 0;
    }
}
