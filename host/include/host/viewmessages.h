#pragma once

#include "platform/windowhandle.h"

#include <cstdint>
#include <string_view>

/**
 * An editor view as the plug-ins' view messages see it. The rules of the five messages and the
 * two commands live here, the same for every editor; a view supplies its document through the
 * hooks below. Positions are bytes, and the selection reaches a plug-in with every line break
 * as CR LF.
 */
class ViewMessages
{
public:
    virtual ~ViewMessages() = default;

    /// Answers one view message as the plug-in interface defines it; 0 for unknown messages.
    /// A MSG_GET_SEL_TEXT buffer is never written past the size it comes with, and gets a
    /// terminator only where there is room for one.
    platform::LResult answerViewMessage(platform::MessageId message, platform::WParam wParam,
                                        platform::LParam lParam);

protected:
    ViewMessages() = default;
    ViewMessages(const ViewMessages &) = default;
    ViewMessages &operator=(const ViewMessages &) = default;

private:
    /// The selected bytes as the document keeps them, valid until the document changes.
    virtual std::string_view viewSelection() = 0;
    /// Whether anything is selected.
    virtual bool viewHasSelection() = 0;
    /// Selects the whole document.
    virtual void viewSelectAll() = 0;
    /// Removes the selected bytes, leaving the caret where they were; nothing when none are
    /// selected.
    virtual void viewDeleteSelection() = 0;
    /// Replaces the selection (or inserts at the caret) with @p text, each of whose breaks
    /// (CR LF, LF or a lone CR) becomes one break of the document's; the caret ends after it.
    virtual void viewInsert(std::string_view text) = 0;
    /// MSG_UPDATE_COMMAND arrived with @p commandId.
    virtual void viewUpdateCommand(std::uint32_t commandId) = 0;
};
