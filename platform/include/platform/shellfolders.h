#pragma once

#include "platform/platform_export.h"

#include <string>

/// The shell's folders and the process facts a library asks the system for.
namespace platform {

/// The user's documents folder in the system's coding (CSIDL_PERSONAL on Windows; the XDG
/// documents directory, falling back to ~/Documents, elsewhere); empty when unknown. It may
/// end in a separator (a drive root).
PLATFORM_EXPORT std::string documentsFolder();

/// The application title: the file name of the process's executable cut at its first dot,
/// all but the first character in lower case ("Plinthar" for C:\Apps\PLINTHAR.EXE).
PLATFORM_EXPORT std::string applicationTitle();

} // namespace platform
