#pragma once

// The ids of plinthar.exe's menu commands and of its Plug-ins dialog (plinthar.rc).
#define IDM_OPEN 100
#define IDM_SAVE 101
#define IDM_SAVE_AS 102
#define IDM_EXIT 103
#define IDM_UNDO 110
#define IDM_SELECT_ALL 111
#define IDM_PLUGINS 120

#define IDD_PLUGINS 200
#define IDC_PLUGIN_LIST 201
#define IDC_UNINSTALL 202
