#pragma once

#include "platform/resourcetable.h"

/// The plug-in library as a module of the host's process.
class LibraryModule
{
public:
    /// This library's module handle, by which its resources are read.
    static platform::ModuleHandle handle();
};
