#pragma once

#include "runner/linelist.h"

#include <string>
#include <vector>

/// Runs @p script through a fresh TZerith with @p params, as the file @p fileName when one is
/// given; returns the whole output buffer.
std::string runScript(const std::string &script, const std::vector<std::string> &params = {},
                      LineList *lines = nullptr, const std::string &fileName = {});
/// The lines of @p list, for readable comparisons.
std::vector<std::string> linesOf(const LineList &list);
