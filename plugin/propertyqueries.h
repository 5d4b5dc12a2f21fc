#pragma once

#include "platform/resourcetable.h"
#include "platform/windowhandle.h"

/// The plug-in's answers to the host's property queries (PlugInProc).
namespace PropertyQueries {

/// Answers query @p message of the host; unknown queries answer 0. @p module holds the
/// string table that text answers read.
platform::LResult answer(platform::ModuleHandle module, platform::WindowHandle view,
                         std::uint32_t message, platform::WParam wParam, platform::LParam lParam);

/// The toolbar bitmap for the size, colour-depth and look bits of @p bits.
int bitmapId(platform::WParam bits);
/// The transparent colour (0x00BBGGRR) of the bitmap chosen by @p bits; 0 for 16 colours.
platform::LResult maskColour(platform::WParam bits);
/**
 * Loads string @p id and, when @p buffer is given, copies at most @p size - 1 of its bytes
 * and a NUL into it (nothing for a size of 0). Answers the text's full length.
 */
platform::LResult textAnswer(platform::ModuleHandle module, int id, platform::WParam size,
                             char *buffer);
/// Asks the user to confirm the uninstall; 1 for Yes, 0 otherwise.
platform::LResult confirmUninstall(platform::WindowHandle view);

} // namespace PropertyQueries
