#pragma once

#include <windows.h>

class MainFrame;

/// The Plug-ins dialog: each loaded plug-in with its menu text, version and file, and an
/// Uninstall button that asks the plug-in to confirm before it is unloaded.
class PluginsDialog
{
public:
    explicit PluginsDialog(MainFrame &frame) : m_frame(frame) {}

    /// Shows the dialog modally over the frame; returns when it is closed.
    void exec();

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void fill();

    MainFrame &m_frame;
    HWND m_dialog = nullptr;
};
