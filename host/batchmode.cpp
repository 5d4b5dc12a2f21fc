#include "host/batchmode.h"

#include "host/editorface.h"
#include "host/timelimit.h"

#include <cstdio>
#include <optional>
#include <string>

int BatchMode::run(EditorFace &editor, const PlintharOptions &options)
{
    EditorFace::Script script{options.scriptName, std::nullopt};
    if (options.scriptFile) {
        std::string error;
        script.text = editor.readFile(*options.scriptFile, &error);
        if (!script.text) {
            printError("Cannot open the script \"" + *options.scriptFile + "\": " + error);
            return UsageError;
        }
    }

    std::string error;
    if (!editor.openDocument(options.document, &error)) {
        printError(error);
        return UsageError;
    }
    const std::size_t size = editor.documentSize();
    if (options.selection && static_cast<unsigned long long>(options.selection->second) > size) {
        printError("The selection " + std::to_string(options.selection->first) + ".." +
                   std::to_string(options.selection->second) + " lies outside the document (" +
                   std::to_string(size) + " bytes).");
        return UsageError;
    }
    for (const std::string &loadError : editor.loadPlugins(options))
        printError(loadError);
    const std::optional<std::size_t> plugin = editor.batchPlugin(options);
    if (!plugin) {
        printError("No plug-in is loaded.");
        return UsageError;
    }
    editor.showFrame();
    if (options.selection)
        editor.selectBytes(static_cast<std::size_t>(options.selection->first),
                           static_cast<std::size_t>(options.selection->second));

    std::optional<TimeLimit> limit;
    if (options.timeLimit)
        limit.emplace(*options.timeLimit);
    const EditorFace::Outcome outcome =
        editor.runCommand(*plugin, script, limit ? &*limit : nullptr);
    // A stopped script leaves the window open and the document as it was, which is written.
    const bool stopped = limit && limit->expired();
    if (stopped) {
        printError(limit->message());
    } else if (outcome.exitCode != Completed) {
        printError(outcome.message);
        return outcome.exitCode;
    }
    const std::string_view output = editor.documentBytes();
    if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() ||
        std::fflush(stdout) != 0) {
        printError("Cannot write the document to standard output.");
        return UsageError;
    }
    return stopped ? Stopped : Completed;
}

void BatchMode::printError(std::string_view message)
{
    std::fwrite(message.data(), 1, message.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
