#pragma once

#include "documentfile.h"
#include "host/viewmessages.h"
#include "platform/windowhandle.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <Qsci/qsciscintilla.h>
#include <cstdint>
#include <functional>
#include <utility>

/// The editor view: a QScintilla editor over the document's bytes, kept as they are, that is
/// also a window of class "PlintharView" and answers the view messages plug-ins send it.
/// Positions are byte offsets into the document.
class EditorView : public QsciScintilla, public ViewMessages
{
    Q_OBJECT

public:
    /// Registers the view as a child window of @p frame.
    EditorView(platform::WindowHandle frame, QWidget *parent = nullptr);
    ~EditorView() override;
    EditorView(const EditorView &) = delete;
    EditorView &operator=(const EditorView &) = delete;

    /// The view's window handle, valid while the view lives.
    platform::WindowHandle handle() const { return m_handle; }

    /// Called with the command id of every MSG_UPDATE_COMMAND.
    void setUpdateCommandHandler(std::function<void(std::uint32_t)> handler);

    /// Replaces the document by @p bytes as they are, in the line-end style of their first
    /// break: no undo step, nothing to redo, not modified, the caret at the start.
    void loadBytes(QByteArrayView bytes);
    /// Replaces the document by the bytes read from @p device to its end, as loadBytes does;
    /// false with @p error set, and the document unchanged, when reading fails.
    bool readFrom(QIODevice &device, QString *error);
    /// Whether changes are kept for undo (the default); batch mode, which nobody can undo,
    /// keeps no copies of what it changes. Holds for every document the view loads.
    void setCollectsUndo(bool collect);
    /// The document's bytes as they are, without a copy; valid until the document changes.
    QByteArrayView bytes() const;
    /// The style of the line breaks the view makes: typed, pasted and inserted by plug-ins.
    LineEnding lineEnding() const;
    void setLineEnding(LineEnding style);

    /// The selection as one range of bytes, start <= end (equal when nothing is selected).
    std::pair<qsizetype, qsizetype> selectionRange() const;
    /// Selects the bytes @p start to @p end, each clamped to the document; the caret at @p end.
    void selectRange(qsizetype start, qsizetype end);
    /// Replaces the selection (or inserts at the caret) with @p text, each of whose line breaks
    /// (CR LF, LF or a lone CR) becomes one break in the document's style; the caret ends
    /// after it. One undo step.
    void replaceSelection(QByteArrayView text);

private:
    std::string_view viewSelection() override;
    bool viewHasSelection() override;
    void viewSelectAll() override;
    void viewDeleteSelection() override;
    void viewInsert(std::string_view text) override;
    void viewUpdateCommand(std::uint32_t commandId) override;

    using Append = std::function<void(QByteArrayView)>;
    /// Shows a new document of about @p size bytes, which @p fill fills through the append
    /// function it is given; when @p fill answers false the previous document stays.
    bool replaceDocument(qsizetype size, const std::function<bool(const Append &)> &fill);
    void fitLineNumberMargin();

    platform::WindowHandle m_handle = nullptr;
    std::function<void(std::uint32_t)> m_updateCommand;
    // The document QScintilla made, kept alive while the view shows its own, so that the base
    // class finds it again when it goes.
    void *m_initialDocument = nullptr;
    bool m_collectsUndo = true;
};
