#pragma once

#include "platform_export.h"

#include <string>

/// Stand-in for the shell's folders and the process facts a library asks Windows for.
namespace platform {

/// The user's documents folder in the locale's coding, without a trailing separator
/// (the XDG documents directory, falling back to ~/Documents); empty when unknown.
PLATFORM_EXPORT std::string documentsFolder();

/// The application title: the executable's file name cut at its first dot, all but the
/// first character in lower case ("plinthar" for /usr/bin/plinthar).
PLATFORM_EXPORT std::string applicationTitle();

} // namespace platform
