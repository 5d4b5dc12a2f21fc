// A library that must never be loaded: it refuses, so whatever needed it fails to load too.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    return reason != DLL_PROCESS_ATTACH;
}
