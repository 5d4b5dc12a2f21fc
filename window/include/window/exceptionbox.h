#pragma once

#include "platform/windowhandle.h"

#include <exception>
#include <string>

/// How the window reports a failure of the plug-in's own steps: an OK box with the error icon.
namespace ExceptionBox {

/// @p message with "." appended when its last character's code (the first byte of a
/// multibyte character) is above that of "."; an empty message stays empty.
std::string text(const std::string &message);

/// Shows text(what) in an OK box with the error icon, owned by @p owner, captioned with the
/// application title. Never throws.
void show(platform::WindowHandle owner, const std::exception &failure) noexcept;
/// The same for a failure whose type is unknown.
void showUnknown(platform::WindowHandle owner) noexcept;

/// Runs @p body; a failure it throws is shown in the box owned by @p owner and goes no further.
template <typename Body> void guarded(platform::WindowHandle owner, Body &&body) noexcept
{
    try {
        body();
    } catch (const std::exception &failure) {
        show(owner, failure);
    } catch (...) {
        showUnknown(owner);
    }
}

} // namespace ExceptionBox
