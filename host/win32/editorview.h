#pragma once

#include "host/linebreaks.h"
#include "host/viewmessages.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

/**
 * The editor view on Windows: a window of class "PlintharView" that answers the view messages
 * plug-ins send it, holding a multi-line EDIT control that shows the document. The control
 * keeps text in UTF-16 with every line break CR LF; the document is its text in the system's
 * ANSI code page, written back with every break in the style of the file's first one.
 * Positions are byte offsets into the document as the control holds it (breaks CR LF).
 */
class EditorView : public ViewMessages
{
public:
    /// Makes the view a child window of @p frame; throws std::runtime_error when it cannot.
    explicit EditorView(HWND frame);
    ~EditorView() override;
    EditorView(const EditorView &) = delete;
    EditorView &operator=(const EditorView &) = delete;

    /// The view's window, which plug-ins send their messages to.
    HWND handle() const { return m_handle; }
    /// The EDIT control inside it.
    HWND edit() const { return m_edit; }

    /// Called with the command id of every MSG_UPDATE_COMMAND.
    void setUpdateCommandHandler(std::function<void(std::uint32_t)> handler);
    /// Called whenever the user's typing changes the document.
    void setChangeHandler(std::function<void()> handler);

    /**
     * Shows @p bytes as the document, in the line-end style of their first break, with nothing
     * to undo, unmodified, the caret at the start. False with @p error set, and the document
     * unchanged, when the control could not show them faithfully: a NUL byte, or bytes that
     * are no text in the system's code page.
     */
    bool loadBytes(std::string_view bytes, std::string *error);
    /// The document's bytes, every break in its style.
    std::string bytes() const;
    /// The document's bytes as the control holds them, every break CR LF.
    std::string viewBytes() const;
    LineEnding lineEnding() const { return m_lineEnding; }

    /// The selection, start <= end, in bytes of viewBytes().
    std::pair<std::size_t, std::size_t> selectionRange() const;
    /// Selects the bytes @p start to @p end of viewBytes(), each clamped to the document.
    void selectRange(std::size_t start, std::size_t end);

    /// Whether a plug-in command's changes are kept for undo (the default). Batch mode, which
    /// nobody can undo, keeps none.
    void setCollectsUndo(bool collect) { m_collectsUndo = collect; }
    /// A plug-in command begins: what it changes from now until endUndoAction() becomes one undo
    /// step.
    void beginUndoAction();
    /// The command has ended: its changes become the control's one undo step.
    void endUndoAction();
    bool canUndo() const;
    void undo();
    bool isModified() const;
    void setModified(bool modified);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    std::string_view viewSelection() override;
    bool viewHasSelection() override;
    void viewSelectAll() override;
    void viewDeleteSelection() override;
    void viewInsert(std::string_view text) override;
    void viewUpdateCommand(std::uint32_t commandId) override;

    std::wstring text() const;
    std::pair<DWORD, DWORD> charSelection() const;
    /// A plug-in command is about to replace the selection: notes how far it reaches.
    void noteCommandEdit();

    HWND m_handle = nullptr;
    HWND m_edit = nullptr;
    HFONT m_font = nullptr;
    LineEnding m_lineEnding = LineEnding::CrLf;
    bool m_collectsUndo = true;
    int m_commandDepth = 0;
    std::wstring m_beforeCommand;
    // What the command's edits left alone, in characters: the text before the first one and
    // after the last one.
    std::size_t m_untouchedHead = 0;
    std::size_t m_untouchedTail = 0;
    std::string m_selection; // the last selection a plug-in read, as bytes
    std::function<void(std::uint32_t)> m_updateCommand;
    std::function<void()> m_changed;
};
