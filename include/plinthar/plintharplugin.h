#pragma once

/*
 * The plug-in interface of the Plinthar editor: what a host needs to load a plug-in library
 * and what a plug-in needs to talk back to the host's view window.
 *
 * On Windows the types are the Win32 ones (HWND, UINT, WPARAM, LPARAM, LRESULT), so handles
 * and buffer addresses pass whole in 64-bit processes, and the entry points use the calling
 * convention of window procedures (WINAPI: __stdcall on 32-bit x86; a DLL exports them by
 * their plain names). Elsewhere the types are plain C ones of the same sizes, and a window is an
 * opaque handle. The header needs nothing but the C library's (and on Windows, Windows') own.
 */

#ifdef _WIN32
#include <windows.h>
typedef HWND PlintharWindow;
typedef UINT PlintharUInt;
typedef WPARAM PlintharWParam;
typedef LPARAM PlintharLParam;
typedef LRESULT PlintharLResult;
typedef BOOL PlintharBool;
#define PLINTHAR_PLUGIN_EXPORT /* the module-definition file names the exports */
#define PLINTHAR_CALL WINAPI
#else
#include <stdint.h>
/* A window of the host; nullptr (0) for none. */
typedef struct PlintharWindowStruct *PlintharWindow;
typedef uint32_t PlintharUInt;
typedef uintptr_t PlintharWParam;
typedef intptr_t PlintharLParam;
typedef intptr_t PlintharLResult;
typedef int32_t PlintharBool;
#define PLINTHAR_PLUGIN_EXPORT __attribute__((visibility("default")))
#define PLINTHAR_CALL
#endif

#ifdef __cplusplus
extern "C" {
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

/* Queries of PlugInProc. The host also sends 0x900, 0x901, 0x903, 0x905 and 0x906, whose
 * meaning it does not give; a plug-in answers them with fixed values. */
enum {
    PLUGIN_QUERY_DESCRIPTION = 0x902, /* text answer (wParam: buffer size, lParam: buffer) */
    PLUGIN_QUERY_VERSION = 0x904,     /* text answer: the version */
    PLUGIN_QUERY_UNINSTALL = 0x907,   /* 1 when the user confirms the uninstall */
    PLUGIN_QUERY_BITMAP = 0x908,      /* wParam: PLUGIN_BITMAP_ bits; answers a bitmap id */
    PLUGIN_QUERY_MASK = 0x909,        /* wParam: PLUGIN_BITMAP_ bits; answers a 0x00BBGGRR colour */
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
PLINTHAR_PLUGIN_EXPORT void PLINTHAR_CALL OnCommand(PlintharWindow view);
PLINTHAR_PLUGIN_EXPORT PlintharBool PLINTHAR_CALL QueryStatus(PlintharWindow view,
                                                              PlintharBool *unused);
PLINTHAR_PLUGIN_EXPORT void PLINTHAR_CALL OnEvents(PlintharWindow view, PlintharUInt events,
                                                   PlintharLParam argument);
PLINTHAR_PLUGIN_EXPORT PlintharUInt PLINTHAR_CALL GetMenuTextID(void);
PLINTHAR_PLUGIN_EXPORT PlintharUInt PLINTHAR_CALL GetStatusMessageID(void);
PLINTHAR_PLUGIN_EXPORT PlintharUInt PLINTHAR_CALL GetBitmapID(void);
PLINTHAR_PLUGIN_EXPORT PlintharLResult PLINTHAR_CALL PlugInProc(PlintharWindow view,
                                                                PlintharUInt message,
                                                                PlintharWParam wParam,
                                                                PlintharLParam lParam);

typedef void(PLINTHAR_CALL *OnCommandFn)(PlintharWindow);
typedef PlintharBool(PLINTHAR_CALL *QueryStatusFn)(PlintharWindow, PlintharBool *);
typedef void(PLINTHAR_CALL *OnEventsFn)(PlintharWindow, PlintharUInt, PlintharLParam);
typedef PlintharUInt(PLINTHAR_CALL *GetIdFn)(void);
typedef PlintharLResult(PLINTHAR_CALL *PlugInProcFn)(PlintharWindow, PlintharUInt, PlintharWParam,
                                                     PlintharLParam);

#ifdef __cplusplus
}

#include <type_traits>

/// The seven entry points of a loaded plug-in, in ordinal order.
struct PlintharEntryPoints
{
    OnCommandFn OnCommand = nullptr;
    QueryStatusFn QueryStatus = nullptr;
    OnEventsFn OnEvents = nullptr;
    GetIdFn GetMenuTextID = nullptr;
    GetIdFn GetStatusMessageID = nullptr;
    GetIdFn GetBitmapID = nullptr;
    PlugInProcFn PlugInProc = nullptr;

    /// Looks every entry point up by its name with @p lookup (a name to an address: dlsym or
    /// GetProcAddress on the library); answers the name of the first one missing, or null
    /// when the library has all seven.
    template <typename Lookup> const char *resolve(Lookup &&lookup)
    {
        const char *missing = nullptr;
        const auto entry = [&](auto &slot, const char *name) {
            slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(lookup(name));
            if (!slot && !missing)
                missing = name;
        };
        entry(OnCommand, "OnCommand");
        entry(QueryStatus, "QueryStatus");
        entry(OnEvents, "OnEvents");
        entry(GetMenuTextID, "GetMenuTextID");
        entry(GetStatusMessageID, "GetStatusMessageID");
        entry(GetBitmapID, "GetBitmapID");
        entry(PlugInProc, "PlugInProc");
        return missing;
    }
};
#endif
