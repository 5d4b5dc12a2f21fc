#pragma once

#include "platform/windowhandle.h"
#include "runner/linelist.h"
#include "runner/scriptsource.h"

#include <string>

class RunDisplay;

/**
 * The run over the editor text: the script window's Run. One run at a time.
 */
class ScriptRun
{
public:
    enum class Outcome {
        Done,    ///< the script's output replaced the text
        Stopped, ///< the script was stopped; the document is as it was
    };

    /// How long a script runs before its run shows itself, and how often the display and the
    /// window are serviced from then on.
    static constexpr int ShowAfterMs = 500;
    static constexpr int ServiceEveryMs = 50;

    /**
     * Runs @p script as the file @p fileName, compiled as @p source says, with the lines of the
     * view's selection (of the whole document unless @p selectionOnly) as its `ARGV`, and puts
     * what it wrote in place of that text, which the host keeps as one step. The text is removed
     * only once the output is ready: a failure of the plug-in's own steps (std::exception) leaves
     * the document as it was, apart from the selection.
     *
     * With a @p display, a script running longer than ShowAfterMs is shown there and can be
     * stopped (requestStop); a stopped run leaves the document exactly as it was, discards
     * what the script wrote and answers Stopped. Throws std::logic_error while another run
     * goes on.
     */
    static Outcome run(platform::WindowHandle view, const LineList &script,
                       const std::string &fileName, ScriptSource source, bool selectionOnly,
                       RunDisplay *display = nullptr);

    /// Whether a run goes on (from its start to the end of its output's insertion).
    static bool isRunning();
    /// Asks the running script to stop (RunControl::requestStop): the first call interrupts
    /// it, a further one forces it. Does nothing when no shown run goes on.
    static void requestStop();
};
