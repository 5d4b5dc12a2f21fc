#pragma once

#include "platform/windowhandle.h"

#include <optional>
#include <string>
#include <vector>

/// A host view for tests: a document with a selection that answers the host messages the way
/// the editor does, and records every message it gets.
class TestView
{
public:
    struct Message
    {
        platform::MessageId id;
        platform::WParam wParam;
        bool operator==(const Message &) const = default;
    };

    TestView();
    ~TestView();
    TestView(const TestView &) = delete;
    TestView &operator=(const TestView &) = delete;

    platform::WindowHandle handle() const { return m_handle; }

    std::string document;
    std::size_t selectionStart = 0;
    std::size_t selectionEnd = 0;
    /// When set, MSG_GET_SEL_TEXT answers this length instead of the real one.
    std::optional<platform::LResult> forcedLength;
    std::vector<Message> messages;

    void select(std::size_t start, std::size_t end) { selectionStart = start, selectionEnd = end; }

private:
    platform::LResult answer(platform::MessageId id, platform::WParam wParam,
                             platform::LParam lParam);
    platform::WindowHandle m_handle = nullptr;
};
