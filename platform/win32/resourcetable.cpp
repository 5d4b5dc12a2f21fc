#include "platform/resourcetable.h"

#include <windows.h>

namespace platform {

ModuleHandle moduleOfAddress(const void *address)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module))
        return nullptr;
    return module;
}

int loadString(ModuleHandle module, int id, char *buffer, int bufferMax)
{
    if (buffer == nullptr || bufferMax < 1)
        return 0;
    const int count = LoadStringA(module, static_cast<UINT>(id), buffer, bufferMax);
    if (count <= 0)
        buffer[0] = '\0';
    return count > 0 ? count : 0;
}

} // namespace platform
