#include "window/exceptionbox.h"

#include "platform/messagebox.h"
#include "platform/shellfolders.h"
#include "platform/textcoding.h"

namespace {

/// Start of the last character of the non-empty @p s in the system's coding.
std::size_t lastCharacterStart(const std::string &s)
{
    if (platform::systemCoding() == platform::TextCoding::ShiftJis) {
        // A trail byte may look like a character of its own: read from the start.
        std::size_t start = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            start = i;
            if (platform::isShiftJisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size())
                ++i;
        }
        return start;
    }
    // UTF-8 continuation bytes (10xxxxxx) belong to the character before them.
    std::size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        --i;
    return i;
}

void showText(platform::WindowHandle owner, const std::string &message) noexcept
{
    try {
        platform::messageBox(owner, ExceptionBox::text(message), platform::applicationTitle(),
                             platform::MessageBoxStyle::OkError);
    } catch (...) {
        // Nothing is left to tell the user with; the window stays usable.
    }
}

} // namespace

namespace ExceptionBox {

std::string text(const std::string &message)
{
    if (message.empty())
        return message;
    const auto code = static_cast<unsigned char>(message[lastCharacterStart(message)]);
    return code > '.' ? message + '.' : message;
}

void show(platform::WindowHandle owner, const std::exception &failure) noexcept
{
    showText(owner, failure.what());
}

void showUnknown(platform::WindowHandle owner) noexcept
{
    showText(owner, "Unknown error");
}

} // namespace ExceptionBox
