#include "runtimelibrary.h"

void RuntimeLibrary::load()
{
    // The runtime is linked like any other library: it is there once the plug-in is.
}
