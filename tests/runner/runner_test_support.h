#pragma once

#include "runner/linelist.h"

#include <string>
#include <vector>

/// Runs @p script through a fresh TZerith with @p params; returns the whole output buffer.
std::string runScript(const std::string &script, const std::vector<std::string> &params = {},
                      LineList *lines = nullptr);
/// The lines of @p list, for readable comparisons.
std::vector<std::string> linesOf(const LineList &list);
