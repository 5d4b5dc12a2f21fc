#include "korvexplugin.h"

#include "hostmessages.h"
#include "modalshowing.h"
#include "plintharplugin.h"

#include "window/korvexform.h"

#include <QCoreApplication>
#include <cstring>

namespace {

// Destroys the window only while Qt still runs; at process exit after the application object
// is gone there is nothing left to destroy it with, and the process is ending anyway.
struct WindowDeleter
{
    void operator()(TfrmKorvex *window) const
    {
        if (QCoreApplication::instance())
            std::default_delete<TfrmKorvex>()(window);
    }
};

std::uint32_t CommandId = 0;
std::unique_ptr<TfrmKorvex, WindowDeleter> ScriptWindow;

constexpr char MainFrameClass[] = "PlintharMainFrame3";
constexpr int ClassNameBuffer = 32; // class names are read with at most 31 characters

} // namespace

namespace KorvexPlugin {

std::uint32_t commandId()
{
    return CommandId;
}

TfrmKorvex *scriptWindow()
{
    return ScriptWindow.get();
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
    if (!ScriptWindow) {
        bool found = false;
        const platform::WindowHandle parent = mainFrameParent(view, found);
        if (!found)
            return;
        ScriptWindow.reset(new TfrmKorvex(parent));
    }
    ScriptWindow->AttachToView(view);
    ModalShowing::exec(*ScriptWindow);
}

void release()
{
    if (!ScriptWindow)
        return;
    if (ScriptWindow->isVisible())
        ScriptWindow->reject(); // ends the modal showing before the window goes
    ScriptWindow.reset();
}

void events(platform::WindowHandle view, std::uint32_t bits, std::intptr_t argument)
{
    if (bits & EVT_SET_COMMAND_ID)
        CommandId = static_cast<std::uint32_t>(argument);
    if (bits & EVT_REFRESH)
        plugin::updateCommand(view, CommandId);
    if (bits & EVT_RELEASE)
        release();
}

} // namespace KorvexPlugin
