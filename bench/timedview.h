#pragma once

#include "host/qt/editorview.h"

#include "platform/windowhandle.h"

#include <string>

/// plinthar's editor view under a main frame, reached through a view window of its own that
/// adds up the time the view spends answering messages: the host's share of a run.
class TimedView
{
public:
    TimedView();
    ~TimedView();
    TimedView(const TimedView &) = delete;
    TimedView &operator=(const TimedView &) = delete;

    /// The window to hand the plug-in; it forwards every message to the editor view.
    platform::WindowHandle handle() const { return m_viewHandle; }
    EditorView &view() { return m_view; }

    /// Replaces the document by @p bytes, nothing selected, the caret at the start.
    void setDocument(const std::string &bytes);
    /// Selects the whole document.
    void selectAll();

    /// Seconds spent in the view's message handling since the last resetHostTime().
    double hostSeconds() const { return m_hostSeconds; }
    void resetHostTime() { m_hostSeconds = 0; }

private:
    platform::WindowHandle m_frame = nullptr;
    EditorView m_view;
    platform::WindowHandle m_viewHandle = nullptr;
    double m_hostSeconds = 0;
};
