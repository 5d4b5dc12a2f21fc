#pragma once

#include "platform/windowhandle.h"

#include <QPlainTextEdit>
#include <cstdint>
#include <functional>

/// The editor view: a plain-text editor that is also a window of class "PlintharView" and
/// answers the view messages plug-ins send it.
class EditorView : public QPlainTextEdit
{
    Q_OBJECT

public:
    /// Registers the view as a child window of @p frame.
    EditorView(platform::WindowHandle frame, QWidget *parent = nullptr);
    ~EditorView() override;

    /// The view's window handle, valid while the view lives.
    platform::WindowHandle handle() const { return m_handle; }

    /// Called with the command id of every MSG_UPDATE_COMMAND.
    void setUpdateCommandHandler(std::function<void(std::uint32_t)> handler);

    /// Answers one view message as the plug-in interface defines it; 0 for unknown messages.
    platform::LResult handleMessage(platform::MessageId message, platform::WParam wParam,
                                    platform::LParam lParam);

    /// The selected text with CR LF line breaks, in the locale's coding.
    QByteArray selectedBytes() const;
    /// Selects the document positions @p start to @p end (clamped to the document).
    void selectRange(int start, int end);

private:
    /// The text of a MSG_INSERT_STRING as editor text: breaks as LF, decoded from the locale.
    static QString insertedText(const char *bytes);

    platform::WindowHandle m_handle = nullptr;
    std::function<void(std::uint32_t)> m_updateCommand;
    // The selected text as the length query made it, kept for the copy query that follows it
    // (a plug-in reads a selection with two queries); dropped on any change.
    QByteArray m_pendingSelection;
    bool m_pendingSelectionValid = false;
};
