#pragma once

/**
 * One plug-in command as both editors run it: while the scope lives, the frame counts as running
 * a command (no second command, no uninstall starts) and everything done to the view is one
 * undo step.
 */
template <typename View> class CommandScope
{
public:
    /// Opens the undo step of @p view and sets @p running.
    CommandScope(View &view, bool &running) : m_view(view), m_running(running)
    {
        m_view.beginUndoAction();
        m_running = true;
    }
    /// Clears the flag and closes the undo step.
    ~CommandScope()
    {
        m_running = false;
        m_view.endUndoAction();
    }
    CommandScope(const CommandScope &) = delete;
    CommandScope &operator=(const CommandScope &) = delete;

private:
    View &m_view;
    bool &m_running;
};
