#pragma once

#include "platform/platform_export.h"

#include <optional>
#include <string>
#include <vector>

/// The file system as the plug-in uses it. Paths are bytes in the system's coding.
namespace platform {

/// The separator between the parts of a path ("\\" on Windows, "/" elsewhere).
PLATFORM_EXPORT char pathSeparator();

/// Whether a folder exists at @p path.
PLATFORM_EXPORT bool folderExists(const std::string &path);
/// Whether a file (not a folder) exists at @p path.
PLATFORM_EXPORT bool fileExists(const std::string &path);
/// Creates the folder @p path, one level only; answers whether it was made.
PLATFORM_EXPORT bool createFolder(const std::string &path);
/**
 * The names (last path component only) of the entries of @p folder that match @p wildcard
 * ("*.rb"), every kind of entry included (hidden, system, folders), in the order the file
 * system delivers them; empty when the folder cannot be read.
 */
PLATFORM_EXPORT std::vector<std::string> findEntries(const std::string &folder,
                                                     const std::string &wildcard);
/// The bytes of the file @p path, opened so that others may read it meanwhile but not write
/// it; none when it cannot be opened or read.
PLATFORM_EXPORT std::optional<std::string> readFile(const std::string &path);

} // namespace platform
