#include "librarymodule.h"

platform::ModuleHandle LibraryModule::handle()
{
    static const platform::ModuleHandle module =
        platform::moduleOfAddress(reinterpret_cast<const void *>(&LibraryModule::handle));
    return module;
}
