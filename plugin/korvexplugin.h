#pragma once

#include "platform/windowhandle.h"

#include <cstdint>

class TfrmKorvex;

/// The plug-in's global state: the command id the host gave it and the one script window.
namespace KorvexPlugin {

/// The command id from the host's last EVT_SET_COMMAND_ID; 0 at start-up.
std::uint32_t commandId();
/// The script window, or nullptr before the first command and after a release.
TfrmKorvex *scriptWindow();

/// Opens the script window over @p view and returns when it closes; refused (does nothing)
/// while a script runs.
void command(platform::WindowHandle view);
/// Acts on the event @p bits in the order set-command-id, refresh, release.
void events(platform::WindowHandle view, std::uint32_t bits, std::intptr_t argument);
/// Destroys the script window (ending its showing first); the next command makes a new one.
/// During a run it stops the script and queues the rest: the window goes when the run ends.
void release();

/// The parent handle for the script window: walking up from @p view, the parent of the first
/// window of class "PlintharMainFrame3". @p found is false when no such window exists.
platform::WindowHandle mainFrameParent(platform::WindowHandle view, bool &found);

} // namespace KorvexPlugin
