// The library's boundary towards the host: start-up and the seven exported functions. No
// exception leaves through here; a failure of the plug-in's own steps is shown in the
// toolkit's error box instead.

#include "korvexplugin.h"
#include "plintharplugin.h"
#include "propertyqueries.h"

#include "platform/resourcetable.h"
#include "resources/korvexresources.h"
#include "window/exceptionbox.h"
#include "window/korvexform.h"

namespace {

constexpr std::uint32_t MenuTextId = 1;
constexpr std::uint32_t StatusMessageId = 2;
constexpr std::uint32_t BitmapId = 101;

platform::ModuleHandle thisModule()
{
    static const platform::ModuleHandle module =
        platform::moduleOfAddress(reinterpret_cast<const void *>(&thisModule));
    return module;
}

// Library start-up: the resources become readable by module handle; nothing else is made.
struct LibraryLifetime
{
    LibraryLifetime() noexcept
    {
        try {
            registerKorvexResources(thisModule());
        } catch (...) {
            // Without resources the host shows no texts; the command still works.
        }
    }
    ~LibraryLifetime() { unregisterKorvexResources(thisModule()); }
};
const LibraryLifetime lifetime;

platform::WindowHandle boxOwner(platform::WindowHandle view)
{
    const TfrmKorvex *window = KorvexPlugin::scriptWindow();
    return window && window->isVisible() ? window->handle() : view;
}

} // namespace

extern "C" {

void OnCommand(PlintharWindow view)
{
    ExceptionBox::guarded(boxOwner(view), [&] { KorvexPlugin::command(view); });
}

int32_t QueryStatus(PlintharWindow /*view*/, int32_t * /*unused*/)
{
    return -1; // always available: every bit set
}

void OnEvents(PlintharWindow view, uint32_t events, intptr_t argument)
{
    ExceptionBox::guarded(boxOwner(view), [&] { KorvexPlugin::events(view, events, argument); });
}

uint32_t GetMenuTextID(void)
{
    return MenuTextId;
}

uint32_t GetStatusMessageID(void)
{
    return StatusMessageId;
}

uint32_t GetBitmapID(void)
{
    return BitmapId;
}

intptr_t PlugInProc(PlintharWindow view, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    intptr_t result = 0;
    ExceptionBox::guarded(view, [&] {
        result = PropertyQueries::answer(thisModule(), view, message, wParam, lParam);
    });
    return result;
}

} // extern "C"
