#pragma once

#include <windows.h>

namespace platform {

/**
 * The object a window procedure serves: the one passed as the window's creation parameter,
 * attached to the window at WM_NCCREATE (when its member @p handle is set to the window) and
 * found there for every later message; nullptr for the messages before.
 */
template <typename T> T *windowObject(HWND window, UINT message, LPARAM lParam, HWND T::*handle)
{
    if (message == WM_NCCREATE) {
        auto *self =
            static_cast<T *>(reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->*handle = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return self;
    }
    return reinterpret_cast<T *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

} // namespace platform
