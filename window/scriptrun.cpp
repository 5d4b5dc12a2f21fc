#include "scriptrun.h"

#include "plinthar/plintharplugin.h"
#include "plugin/hostmessages.h"
#include "runner/zerith.h"

#include <string_view>
#include <utility>

namespace {

// The prelude every run starts with; on this runtime the global is plain and harmless.
constexpr std::string_view Prelude = "$KCODE = \"SJIS\"";

} // namespace

void ScriptRun::run(platform::WindowHandle view, const LineList &script,
                    const std::string &fileName, bool selectionOnly)
{
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
    // The input is handed over, not copied: it is not needed here any more.
    runner.setParams(std::move(inputLines));
    runner.Execute(&resultLines);
    runner.setParams(LineList()); // the script has its own ARGV; free the input early

    // The lines' own storage already is the joined text; it is taken, not copied.
    const std::string text = resultLines.takeText();
    // The selection is removed only once the output is ready: a failure before this point
    // leaves the document as it was.
    plugin::execCommand(view, CMD_DELETE);
    plugin::insertString(view, text.c_str());
}
