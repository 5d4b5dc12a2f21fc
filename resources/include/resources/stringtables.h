#pragma once

#include "platform/resourcetable.h"

#include <map>
#include <string>

/// The plug-in's string table in @p language (UTF-8): ids 1, 2, 3 and 5; id 4 has no entry.
/// Any language other than Japanese gets the English table.
std::map<int, std::string> korvexStringTable(platform::Language language);
