#pragma once

#include <string>

/// The failure texts of the script window's toolkit, in the system's coding.
namespace ToolkitTexts {

/// A window shown already cannot be shown modally.
std::string alreadyVisible();
/// A text too large for the script editor.
std::string memoLimitExceeded();
/// The file @p path (in the system's coding) exists but cannot be opened.
std::string cannotOpenFile(const std::string &path);

} // namespace ToolkitTexts
