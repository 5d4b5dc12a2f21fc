#pragma once

#include <ruby.h>

/// Running a script's text the way the runtime runs a program's main file.
namespace MainScript {

/**
 * Compiles @p source (a String) as the file @p file, whose real path is @p realPath (nil: none),
 * and runs it at the top level as `ruby FILE` runs FILE: with local variables of its own, a
 * top-level `return` ending it, "<main>" as its frame's label, and no frame of the runner's
 * below it in a backtrace. Answers what the script's last expression answers; raises a
 * SyntaxError, or whatever the script raises, so call it protected.
 */
VALUE run(VALUE source, VALUE file, VALUE realPath);

} // namespace MainScript
