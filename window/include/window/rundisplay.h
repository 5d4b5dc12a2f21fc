#pragma once

#include <cstddef>

/**
 * What the script window shows while a script runs; each face implements it.
 */
class RunDisplay
{
public:
    virtual ~RunDisplay() = default;

    /**
     * Called on the UI thread from inside a run, at the script's safe points, about every
     * 50 ms once it has run about half a second: shows @p seconds since the script started and
     * the @p lines of output it wrote so far, offers Stop (ScriptRun::requestStop), and handles
     * the window events waiting meanwhile. It must not start another run.
     */
    virtual void showRunning(double seconds, std::size_t lines) = 0;
};
