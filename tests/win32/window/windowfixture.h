#pragma once

#include "testhost.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

/// The process's private documents folder (made by main()).
const PrivateDocuments &documents();

/// The Korvex window's controls, found the way a user sees them: the band container, the
/// toolbar of each band, and the controls on them.
struct Controls
{
    explicit Controls(HWND form);

    HWND form;
    HWND coolBar;
    HWND toolBar1; ///< the first band's
    HWND toolBar2; ///< the second band's
    HWND memo;
    HWND selectArea;
    HWND scripts;
};

/// A toolbar item: a button with its caption, or a separator (no caption).
struct ToolItem
{
    HWND toolBar;
    int command;
    bool separator;
    RECT rect; ///< in the toolbar's client coordinates
    std::wstring caption;
};

std::vector<ToolItem> toolItems(HWND toolBar);
/// Clicks the toolbar button captioned @p caption with the mouse (posted).
void press(const Controls &controls, const std::wstring &caption);
/// Posts a press and release of the key @p key to @p window.
void postKey(HWND window, UINT key);
/// Posts the characters of @p text to @p window as if typed.
void type(HWND window, const std::string &text);
/// The window's text as bytes in the system's code page.
std::string textOf(HWND window);
std::wstring wideTextOf(HWND window);
/// @p pixels at 96 dpi on this screen.
int scaled(int pixels);
/// @p window's rectangle in the client coordinates of @p reference.
RECT rectIn(HWND window, HWND reference);

/// The plug-in over the test host, a box answerer, and an empty scripts folder. Every test ends
/// with the host's release event, so each starts with no Korvex window.
class KorvexWindow : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// The Korvex window of this thread, shown or hidden; nullptr when there is none.
    static HWND korvexWindow();
    static std::string scriptsFolder();
    void writeScript(const std::string &name, const std::string &bytes) const;

    /**
     * The host's command: OnCommand over the view, returning when the window closes. @p during
     * runs inside the showing, with the window found; it must end the showing (or have
     * posted what does).
     */
    void command(const std::function<void(const Controls &)> &during);
    /// Runs @p action from the message loop once no message box of the thread is open.
    void whenNoBox(std::function<void()> action);
    /// Chooses @p name in the scripts list the way a user's pick reports it.
    static void choose(const Controls &controls, const std::string &name);

    const KorvexLibrary &library = KorvexLibrary::get();
    TestHost host;
    MessageBoxAnswerer answerer;
};
