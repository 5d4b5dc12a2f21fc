#pragma once

#include "platform/qt/resourceregistry.h"

/// Registers the plug-in's English and Japanese string tables and all its toolbar bitmaps as
/// the resources of @p module, replacing any it had. Call when the library loads.
void registerKorvexResources(platform::ModuleHandle module);

/// Forgets every resource of @p module. Call when the library unloads.
void unregisterKorvexResources(platform::ModuleHandle module);
