#pragma once

#include "viewdocument.h"

#include "plinthar/plintharplugin.h"

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

/**
 * A minimal editor for the plug-in: a visible main frame of class "PlintharMainFrame3" with a
 * view child that answers the host view messages over a byte document with a selection (line
 * ends as the plug-in inserts them) and records every message it gets.
 */
class TestHost : public ViewDocument
{
public:
    TestHost();
    ~TestHost();
    TestHost(const TestHost &) = delete;
    TestHost &operator=(const TestHost &) = delete;

    HWND frame() const { return m_frame; }
    HWND view() const { return m_view; }
    /// Moves the view to @p rect, in the frame's client coordinates.
    void placeView(const RECT &rect);

    /**
     * Runs @p action from the thread's message loop, whichever loop runs then (the plug-in's
     * modal showing), behind everything posted before it. With @p hops > 1 it is posted again
     * that many times, so that it also comes behind what those messages post in turn (the
     * characters a key press is translated into).
     */
    void post(std::function<void()> action, int hops = 1);
    /// Throws away the actions still posted (a test that failed early leaves some behind).
    void discardPosted();

private:
    static LRESULT CALLBACK viewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT answer(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_frame = nullptr;
    HWND m_view = nullptr;
};

/// Answers every message box of the thread with OK (or @p answer), recording what it said.
class MessageBoxAnswerer
{
public:
    struct Box
    {
        std::string text; ///< bytes in the system's code page
        std::string caption;
    };

    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer &) = delete;
    MessageBoxAnswerer &operator=(const MessageBoxAnswerer &) = delete;

    std::vector<Box> boxes;
    int answer = IDOK;

private:
    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook = nullptr;
};

/// Korvex.dll loaded with LoadLibrary from the plug-in folder beside this program.
struct KorvexLibrary : PlintharEntryPoints
{
    /// The library, loaded on first use and kept for the process (as a host keeps it).
    static const KorvexLibrary &get();

    HMODULE module = nullptr;
};

/**
 * A documents folder of the process's own under the temporary folder, made the user's
 * documents folder (CSIDL_PERSONAL) of the Wine prefix while it lives; the earlier setting is
 * put back afterwards.
 */
class PrivateDocuments
{
public:
    PrivateDocuments();
    ~PrivateDocuments();
    PrivateDocuments(const PrivateDocuments &) = delete;
    PrivateDocuments &operator=(const PrivateDocuments &) = delete;

    /// The folder, in the system's code page, without a trailing separator.
    const std::string &path() const { return m_path; }

private:
    std::string m_path;
    std::optional<std::wstring> m_saved;
    DWORD m_savedType = REG_EXPAND_SZ;
};

/// Removes @p path and everything in it (nothing when it does not exist).
void removeTree(const std::string &path);
