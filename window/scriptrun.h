#pragma once

#include "platform/windowhandle.h"
#include "runner/linelist.h"

#include <string>

/**
 * The run over the editor text: the script window's Run.
 */
class ScriptRun
{
public:
    /**
     * Runs @p script as the file @p fileName with the lines of the view's selection (of the
     * whole document unless @p selectionOnly) as its `ARGV`, and puts what it wrote in place
     * of that text, which the host keeps as one step. The text is removed only once the output
     * is ready: a failure of the plug-in's own steps (std::exception) leaves the document as
     * it was, apart from the selection.
     */
    static void run(platform::WindowHandle view, const LineList &script,
                    const std::string &fileName, bool selectionOnly);
};
