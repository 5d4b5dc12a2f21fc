/* A plug-in as someone else would write it: in C, against the editor's interface header and
 * nothing else of this project. That it compiles and links on every system shows the header
 * stands alone; the host tests load it. */

#include "plinthar/plintharplugin.h"

#include <string.h>

static PlintharUInt commandId;

void PLINTHAR_CALL OnCommand(PlintharWindow view)
{
    (void)view;
}

PlintharBool PLINTHAR_CALL QueryStatus(PlintharWindow view, PlintharBool *unused)
{
    (void)view;
    (void)unused;
    return 1;
}

void PLINTHAR_CALL OnEvents(PlintharWindow view, PlintharUInt events, PlintharLParam argument)
{
    (void)view;
    if (events & EVT_SET_COMMAND_ID)
        commandId = (PlintharUInt)argument;
}

PlintharUInt PLINTHAR_CALL GetMenuTextID(void)
{
    return 1;
}

PlintharUInt PLINTHAR_CALL GetStatusMessageID(void)
{
    return 2;
}

PlintharUInt PLINTHAR_CALL GetBitmapID(void)
{
    return 0;
}

PlintharLResult PLINTHAR_CALL PlugInProc(PlintharWindow view, PlintharUInt message,
                                         PlintharWParam wParam, PlintharLParam lParam)
{
    static const char version[] = "1.0 (C)";
    (void)view;
    if (message == PLUGIN_QUERY_VERSION && lParam != 0 && wParam > sizeof version) {
        memcpy((char *)lParam, version, sizeof version);
        return 1;
    }
    return 0;
}
