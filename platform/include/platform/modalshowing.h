#pragma once

#include "platform/platform_export.h"
#include "platform/windowhandle.h"

#include <memory>

namespace platform {

/**
 * The rest of the thread's windows while one window is shown modally. While it lives, every
 * other visible, enabled top-level window of the calling thread is disabled; when it goes they
 * are enabled again (those that still exist), and the window that was active before it was
 * made gets the activation back if the shown window still had it, is gone, or nothing is
 * active.
 */
class PLATFORM_EXPORT ModalShowing
{
public:
    /// Disables the thread's other windows for the showing of @p shown.
    explicit ModalShowing(WindowHandle shown);
    /// Enables them again and hands the activation back.
    ~ModalShowing();
    ModalShowing(const ModalShowing &) = delete;
    ModalShowing &operator=(const ModalShowing &) = delete;

private:
    struct Others;
    std::unique_ptr<Others> m_others;
};

} // namespace platform
