#pragma once

#include "runner/linelist.h"
#include "runner/scriptsource.h"

#include <string>
#include <vector>

/// Runs @p script through a fresh TZerith with @p params, as the file @p fileName when one is
/// given, compiled as @p source says; returns the whole output buffer.
std::string runScript(const std::string &script, const std::vector<std::string> &params = {},
                      LineList *lines = nullptr, const std::string &fileName = {},
                      ScriptSource source = ScriptSource::Typed);
/// The lines of @p list, for readable comparisons.
std::vector<std::string> linesOf(const LineList &list);
