#include "window/scriptrun.h"

#include "window/rundisplay.h"

#include "hostmessages/hostmessages.h"
#include "platform/uipulse.h"
#include "plinthar/plintharplugin.h"
#include "runner/runcontrol.h"
#include "runner/zerith.h"

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace {

// The prelude every run starts with; on this runtime the global is plain and harmless.
constexpr std::string_view Prelude = "$KCODE = \"SJIS\"";

bool running = false;

/// Marks a run as going on for as long as it lives.
struct RunningFlag
{
    RunningFlag()
    {
        if (running)
            throw std::logic_error("A script is running already");
        running = true;
    }
    ~RunningFlag() { running = false; }
    RunningFlag(const RunningFlag &) = delete;
    RunningFlag &operator=(const RunningFlag &) = delete;
};

/// Runs @p runner's script, shown on @p display (when given) once it runs long enough;
/// answers whether it was stopped. The output stays with the runtime (RunControl::readOutput).
bool execute(TZerith &runner, RunDisplay *display)
{
    if (!display) {
        runner.Execute(nullptr);
        return false;
    }
    const auto started = std::chrono::steady_clock::now();
    const RunControl watch([display, started] {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
        display->showRunning(elapsed.count(), RunControl::outputLinesSoFar());
    });
    {
        const platform::UiPulse pulse(&RunControl::beat, ScriptRun::ShowAfterMs,
                                      ScriptRun::ServiceEveryMs);
        runner.Execute(nullptr);
    }
    return watch.stopRequested();
}

} // namespace

bool ScriptRun::isRunning()
{
    return running;
}

void ScriptRun::requestStop()
{
    RunControl::requestStop();
}

ScriptRun::Outcome ScriptRun::run(platform::WindowHandle view, const LineList &script,
                                  const std::string &fileName, ScriptSource source,
                                  bool selectionOnly, RunDisplay *display)
{
    const RunningFlag flag;
    LineList inputLines;
    LineList resultLines;
    TZerith runner;

    inputLines = LineList{Prelude};
    runner.setScript(inputLines);
    runner.Execute(nullptr);
    inputLines.clear();

    if (!selectionOnly)
        plugin::execCommand(view, CMD_SELECT_ALL);
    inputLines.adoptText(plugin::readSelectedText(view));

    runner.setScript(script);
    runner.setScriptFileName(fileName);
    runner.setScriptSource(source);
    // The input is handed over, not copied: it is not needed here any more.
    runner.setParams(std::move(inputLines));
    const bool stopped = execute(runner, display);
    // The input is of no more use: it goes before the output is read, so that the two are
    // not held at once.
    runner.setParams(LineList());
    RunControl::releaseArguments();
    if (stopped)
        return Outcome::Stopped; // nothing was sent to the view: the document is as it was
    RunControl::readOutput(resultLines);

    // The lines' own storage already is the joined text; it is taken, not copied.
    const std::string text = resultLines.takeText();
    // The selection is removed only once the output is ready: a failure before this point
    // leaves the document as it was.
    plugin::execCommand(view, CMD_DELETE);
    plugin::insertString(view, text.c_str());
    return Outcome::Done;
}
