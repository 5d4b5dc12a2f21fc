#pragma once

/**
 * The Ruby runtime as a library of the host's process.
 *
 * On Windows the plug-in carries its own runtime in the folder "Korvex\ruby" beside it and
 * loads it from there, whatever the host's working folder and PATH; the runtime finds its
 * standard library beside itself. Elsewhere the runtime is an ordinary shared library of the
 * system, linked when the plug-in loads.
 */
class RuntimeLibrary
{
public:
    /// Makes the runtime's functions and variables callable; does nothing once it has
    /// succeeded. Throws std::runtime_error, saying what is wrong and where the runtime was
    /// looked for, when it is missing or of another version: no runtime function may be
    /// called then.
    static void load();
};
