#pragma once

#include "host/commandline.h"

#include <string_view>

class EditorFace;

/**
 * plinthar's batch mode, the same for both editors: opens the document, loads the plug-ins,
 * selects the bytes asked for, has the plug-in's script window run the script (and stop it
 * at the time limit), and writes the document to standard output. Everything it reports goes
 * to standard error, one message a line.
 */
class BatchMode
{
public:
    /// Batch mode's exit statuses.
    enum Status : int {
        Completed = 0,  ///< the command completed; the document was written
        Failed = 1,     ///< the script window stayed open (an error box) or never opened
        UsageError = 2, ///< a usage or file error; nothing was written
        Stopped = 3,    ///< the time limit stopped the script; the unchanged document was written
    };

    /// Runs batch mode as @p options ask through @p editor; answers the exit status.
    static int run(EditorFace &editor, const PlintharOptions &options);
    /// Writes @p message and a line break to standard error.
    static void printError(std::string_view message);
};
