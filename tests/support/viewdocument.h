#pragma once

#include "platform/windowhandle.h"

#include <optional>
#include <string>
#include <vector>

/// The document of a host view for tests: bytes with a selection that answer the view messages
/// the way the editor does, and a record of every message received.
class ViewDocument
{
public:
    struct Message
    {
        platform::MessageId id;
        platform::WParam wParam;
        bool operator==(const Message &) const = default;
    };

    std::string document;
    std::size_t selectionStart = 0;
    std::size_t selectionEnd = 0;
    /// When set, MSG_GET_SEL_TEXT answers this length instead of the real one.
    std::optional<platform::LResult> forcedLength;
    std::vector<Message> messages;

    void select(std::size_t start, std::size_t end) { selectionStart = start, selectionEnd = end; }

    /// Records and answers view message @p id; 0 for the messages a view does not know.
    platform::LResult answer(platform::MessageId id, platform::WParam wParam,
                             platform::LParam lParam);
};
