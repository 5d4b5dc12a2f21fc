#include "korvexplugin.h"

#include "hostmessages/hostmessages.h"

#include "plinthar/plintharplugin.h"
#include "window/korvexform.h"
#include "window/scriptrun.h"

#include <cstring>
#include <memory>

namespace {

struct PluginState
{
    std::uint32_t commandId = 0;        // CommandId
    std::unique_ptr<TfrmKorvex> window; // ScriptWindow
    bool releasePending = false;        // a release came during a run
};

// Made on first use and never torn down: the library tears nothing down when it is unloaded,
// and by then the window toolkit may be gone.
PluginState &state()
{
    static PluginState *const instance = new PluginState();
    return *instance;
}

constexpr char MainFrameClass[] = "PlintharMainFrame3";
constexpr int ClassNameBuffer = 32; // class names are read with at most 31 characters

} // namespace

namespace KorvexPlugin {

std::uint32_t commandId()
{
    return state().commandId;
}

TfrmKorvex *scriptWindow()
{
    return state().window.get();
}

platform::WindowHandle mainFrameParent(platform::WindowHandle view, bool &found)
{
    platform::WindowHandle window = view;
    while (window) {
        char name[ClassNameBuffer] = {};
        platform::getClassName(window, name, ClassNameBuffer);
        window = platform::getParent(window);
        if (std::strcmp(name, MainFrameClass) == 0) {
            found = true;
            return window;
        }
    }
    found = false;
    return nullptr;
}

void command(platform::WindowHandle view)
{
    // The host's window events are handled while a script runs; a second command then would
    // run inside the first one's run, so it is refused.
    if (ScriptRun::isRunning())
        return;
    std::unique_ptr<TfrmKorvex> &window = state().window;
    if (!window) {
        bool found = false;
        const platform::WindowHandle parent = mainFrameParent(view, found);
        if (!found)
            return;
        window = TfrmKorvex::create(parent);
    }
    window->AttachToView(view);
    window->showModal();
    if (state().releasePending)
        release();
}

void release()
{
    std::unique_ptr<TfrmKorvex> &window = state().window;
    if (!window)
        return;
    window->endShowing(); // ends the modal showing before the window goes
    if (ScriptRun::isRunning()) {
        // The run is on the stack below this call: the window goes once the run has been
        // stopped and the showing has ended (see command()).
        state().releasePending = true;
        return;
    }
    state().releasePending = false;
    window.reset();
}

void events(platform::WindowHandle view, std::uint32_t bits, std::intptr_t argument)
{
    if (bits & EVT_SET_COMMAND_ID)
        state().commandId = static_cast<std::uint32_t>(argument);
    if (bits & EVT_REFRESH)
        plugin::updateCommand(view, state().commandId);
    if (bits & EVT_RELEASE)
        release();
}

} // namespace KorvexPlugin
