#include "platform/windowhandle.h"

#include <windows.h>

namespace platform {

bool isWindow(WindowHandle window)
{
    return IsWindow(window) != FALSE;
}

int getClassName(WindowHandle window, char *buffer, int maxCount)
{
    if (buffer == nullptr || maxCount < 1)
        return 0;
    const int count = GetClassNameA(window, buffer, maxCount);
    if (count == 0)
        buffer[0] = '\0';
    return count;
}

WindowHandle getParent(WindowHandle window)
{
    return GetParent(window);
}

Rect getWindowRect(WindowHandle window)
{
    RECT rect = {};
    if (!GetWindowRect(window, &rect))
        return {};
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

LResult sendMessage(WindowHandle window, MessageId message, WParam wParam, LParam lParam)
{
    return SendMessageA(window, message, wParam, lParam);
}

} // namespace platform
