#include "platform/modalshowing.h"

#include <windows.h>

#include <vector>

namespace platform {

struct ModalShowing::Others
{
    HWND shown = nullptr;
    HWND previouslyActive = nullptr;
    std::vector<HWND> disabled;
};

ModalShowing::ModalShowing(WindowHandle shown) : m_others(std::make_unique<Others>())
{
    m_others->shown = shown;
    m_others->previouslyActive = GetActiveWindow();
    const HWND root = GetAncestor(shown, GA_ROOT);
    struct Search
    {
        HWND root;
        std::vector<HWND> &found;
    } search{root, m_others->disabled};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM searching) CALLBACK -> BOOL {
            auto &s = *reinterpret_cast<Search *>(searching);
            if (window == s.root || !IsWindowVisible(window) || !IsWindowEnabled(window))
                return TRUE;
            try {
                s.found.push_back(window);
                return TRUE;
            } catch (...) {
                return FALSE; // out of memory: the rest stay enabled
            }
        },
        reinterpret_cast<LPARAM>(&search));
    for (HWND window : m_others->disabled)
        EnableWindow(window, FALSE);
}

ModalShowing::~ModalShowing()
{
    for (HWND window : m_others->disabled) {
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    }
    // Before the shown window is hidden, which would hand the activation to some other
    // program's window.
    const HWND active = GetActiveWindow();
    const HWND before = m_others->previouslyActive;
    if (before && IsWindow(before) &&
        (!IsWindow(m_others->shown) || active == m_others->shown || !active))
        SetActiveWindow(before);
}

} // namespace platform
