#pragma once

#include <string>
#include <vector>

/// Runs the `ruby` command with @p args, its standard input at its end and its standard output
/// and error together, under the UTF-8 C locale and without RUBYOPT; answers what it wrote. On
/// Windows it is the one beside the plug-in's runtime, with text in the system's coding as the
/// runtime has it, and without RubyGems (which takes seconds to start under Wine).
std::string runRubyCommand(const std::vector<std::string> &args);
