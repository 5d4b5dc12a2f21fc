#pragma once

#include "platform/resourcetable.h"

#include <QByteArray>
#include <QImage>
#include <map>
#include <string>

/// How libraries of the Linux stand-in have resources: they register their string tables and
/// bitmaps when they load, hosts read them by the library's module handle and an id.
namespace platform {

/// The module of a handle returned by dlopen() (or QLibrary's underlying handle).
PLATFORM_EXPORT ModuleHandle moduleOfLibrary(void *dlopenHandle);

/// Registers (replaces) @p module's string table for @p language.
PLATFORM_EXPORT void registerStringTable(ModuleHandle module, Language language,
                                         std::map<int, std::string> strings);
/// Registers @p module's bitmap @p id; @p bmpFile is a whole uncompressed .bmp file.
PLATFORM_EXPORT void registerBitmap(ModuleHandle module, int id, QByteArray bmpFile);
/// Forgets everything @p module registered.
PLATFORM_EXPORT void unregisterModule(ModuleHandle module);

/// The user's language: Japanese when LC_ALL, LC_MESSAGES or LANG (the first one set and not
/// empty) starts with "ja", otherwise English.
PLATFORM_EXPORT Language userLanguage();

/// String @p id in the user's language, falling back to the other table; empty when absent.
PLATFORM_EXPORT std::string loadString(ModuleHandle module, int id);

/// The .bmp file bytes of bitmap @p id, empty when absent.
PLATFORM_EXPORT QByteArray loadBitmapData(ModuleHandle module, int id);
/// Bitmap @p id decoded, null when absent.
PLATFORM_EXPORT QImage loadBitmap(ModuleHandle module, int id);

} // namespace platform
