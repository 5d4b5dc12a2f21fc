#pragma once

#include "platform/platform_export.h"

#include <cstdint>

#ifdef _WIN32
struct HINSTANCE__; // the Win32 handle type, as <windows.h> declares it
#endif

/// The Windows string resources of a library, in plain types.
namespace platform {

#ifdef _WIN32
using ModuleHandle = ::HINSTANCE__ *; ///< HMODULE
#else
struct Module;
using ModuleHandle = const Module *; ///< Opaque; the same value in the library and its host.
#endif

/// The languages of a library's string tables.
enum class Language : std::uint16_t { English = 1033, Japanese = 1041 };

/// The module (shared library or executable) that holds @p address.
PLATFORM_EXPORT ModuleHandle moduleOfAddress(const void *address);

/// As LoadString: string @p id of @p module in the user's language, at most @p bufferMax - 1
/// bytes and a NUL copied into @p buffer; answers the bytes copied (0 when there is no such
/// string).
PLATFORM_EXPORT int loadString(ModuleHandle module, int id, char *buffer, int bufferMax);

} // namespace platform
