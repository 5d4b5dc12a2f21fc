#pragma once

#include <ruby.h>

/**
 * Ending the child processes a script started together with what they started in turn.
 *
 * On POSIX systems each child a script starts gets a process group of its own
 * (scriptenvironment.rb), and nothing is needed here. Windows has no process groups; there the
 * children of a run go into a job object of the run, Korvex::ChildJob, which ends them all at
 * once. The editor itself is never in that job, and closing the job ends nothing: a child of
 * a run that was not stopped goes on as it would after a `ruby` process.
 */
class ChildJob
{
public:
    /// Defines Korvex::ChildJob under @p module where the system needs one (Windows):
    /// `ChildJob.new`; `#add(pid)`, true when the process went in; `#terminate`, which ends
    /// every process in the job and waits up to a second for them to have ended.
    static void define(VALUE module);
};
