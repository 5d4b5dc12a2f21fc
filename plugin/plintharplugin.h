#pragma once

// The plug-in interface of the Plinthar editor: what a host author needs to load a plug-in
// library and what a plug-in needs to talk back to the host's view window.

#include <cstdint>

#ifdef __cplusplus
#include "../platform/windowhandle.h"
using PlintharWindow = platform::WindowHandle;
extern "C" {
#else
typedef struct Window *PlintharWindow;
#endif

/* Events of OnEvents (bits of its second argument). */
enum {
    EVT_REFRESH = 0x10,
    EVT_SET_COMMAND_ID = 0x400,
    EVT_RELEASE = 0x800,
};

/* Messages a plug-in sends to the host's view window. */
enum {
    MSG_UPDATE_COMMAND = 2050, /* wParam: command id */
    MSG_GET_SEL_TEXT = 2051,   /* wParam: bytes the host may copy; lParam: buffer or 0 */
    MSG_EXEC_COMMAND = 2070,   /* wParam: one of the CMD_ numbers */
    MSG_INSERT_STRING = 2080,  /* lParam: NUL-terminated text, inserted at the caret */
    MSG_GET_SEL_TYPE = 2093,   /* answers 0 when nothing is selected */
};

/* Host commands of MSG_EXEC_COMMAND. */
enum {
    CMD_DELETE = 4135,
    CMD_SELECT_ALL = 4136,
};

/* Queries of PlugInProc. */
enum {
    PLUGIN_QUERY_0900 = 0x900,
    PLUGIN_QUERY_0901 = 0x901,
    PLUGIN_QUERY_TEXT_0902 = 0x902, /* text answer (wParam: buffer size, lParam: buffer) */
    PLUGIN_QUERY_0903 = 0x903,
    PLUGIN_QUERY_VERSION = 0x904,   /* text answer: the version */
    PLUGIN_QUERY_0905 = 0x905,
    PLUGIN_QUERY_0906 = 0x906,
    PLUGIN_QUERY_UNINSTALL = 0x907, /* 1 when the user confirms the uninstall */
    PLUGIN_QUERY_BITMAP = 0x908,    /* wParam: PLUGIN_BITMAP_ bits; answers a bitmap id */
    PLUGIN_QUERY_MASK = 0x909,      /* wParam: PLUGIN_BITMAP_ bits; answers a 0x00BBGGRR colour */
};

/* Bits of the first argument of PLUGIN_QUERY_BITMAP and PLUGIN_QUERY_MASK. */
enum {
    PLUGIN_BITMAP_LARGE = 0x1,
    PLUGIN_BITMAP_256_COLOURS = 0x10,
    PLUGIN_BITMAP_TRUE_COLOUR = 0x20,
    PLUGIN_BITMAP_DISABLED = 0x100,
    PLUGIN_BITMAP_HIGHLIGHTED = 0x200,
};

/* The seven entry points, in ordinal order; a plug-in exports exactly these. */
#define PLINTHAR_PLUGIN_EXPORT __attribute__((visibility("default")))
PLINTHAR_PLUGIN_EXPORT void OnCommand(PlintharWindow view);
PLINTHAR_PLUGIN_EXPORT int32_t QueryStatus(PlintharWindow view, int32_t *unused);
PLINTHAR_PLUGIN_EXPORT void OnEvents(PlintharWindow view, uint32_t events, intptr_t argument);
PLINTHAR_PLUGIN_EXPORT uint32_t GetMenuTextID(void);
PLINTHAR_PLUGIN_EXPORT uint32_t GetStatusMessageID(void);
PLINTHAR_PLUGIN_EXPORT uint32_t GetBitmapID(void);
PLINTHAR_PLUGIN_EXPORT intptr_t PlugInProc(PlintharWindow view, uint32_t message,
                                           uintptr_t wParam, intptr_t lParam);

typedef void (*OnCommandFn)(PlintharWindow);
typedef int32_t (*QueryStatusFn)(PlintharWindow, int32_t *);
typedef void (*OnEventsFn)(PlintharWindow, uint32_t, intptr_t);
typedef uint32_t (*GetIdFn)(void);
typedef intptr_t (*PlugInProcFn)(PlintharWindow, uint32_t, uintptr_t, intptr_t);

#ifdef __cplusplus
}
#endif
