// The library's boundary towards the host: the seven exported functions. No exception leaves
// through here; a failure of the plug-in's own steps is shown in the toolkit's error box
// instead.

#include "korvexplugin.h"
#include "librarymodule.h"
#include "propertyqueries.h"

#include "plinthar/plintharplugin.h"
#include "window/exceptionbox.h"
#include "window/korvexform.h"

namespace {

constexpr std::uint32_t MenuTextId = 1;
constexpr std::uint32_t StatusMessageId = 2;
constexpr std::uint32_t BitmapId = 101;

platform::WindowHandle boxOwner(platform::WindowHandle view)
{
    const TfrmKorvex *window = KorvexPlugin::scriptWindow();
    return window && window->isShown() ? window->handle() : view;
}

} // namespace

extern "C" {

void PLINTHAR_CALL OnCommand(PlintharWindow view)
{
    ExceptionBox::guarded(boxOwner(view), [&] { KorvexPlugin::command(view); });
}

PlintharBool PLINTHAR_CALL QueryStatus(PlintharWindow /*view*/, PlintharBool * /*unused*/)
{
    return -1; // always available: every bit set
}

void PLINTHAR_CALL OnEvents(PlintharWindow view, PlintharUInt events, PlintharLParam argument)
{
    ExceptionBox::guarded(boxOwner(view), [&] { KorvexPlugin::events(view, events, argument); });
}

PlintharUInt PLINTHAR_CALL GetMenuTextID(void)
{
    return MenuTextId;
}

PlintharUInt PLINTHAR_CALL GetStatusMessageID(void)
{
    return StatusMessageId;
}

PlintharUInt PLINTHAR_CALL GetBitmapID(void)
{
    return BitmapId;
}

PlintharLResult PLINTHAR_CALL PlugInProc(PlintharWindow view, PlintharUInt message,
                                         PlintharWParam wParam, PlintharLParam lParam)
{
    PlintharLResult result = 0;
    ExceptionBox::guarded(view, [&] {
        result = PropertyQueries::answer(LibraryModule::handle(), view, message, wParam, lParam);
    });
    return result;
}

} // extern "C"
