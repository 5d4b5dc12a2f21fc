#pragma once

#include "host/commandline.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TimeLimit;

/**
 * An editor as the code both editors share sees it. Each editor (qt/, win32/) implements the
 * hooks over its own frame, view, plug-in libraries and script window; what is the same for
 * both (which plug-ins load and in what order, which one batch mode invokes, the batch run
 * itself in BatchMode) is done here and there once. Paths are bytes as the command line gives
 * them (CommandLine); messages are bytes as the editor writes them to standard error.
 */
class EditorFace
{
public:
    /// The script a batch run has the plug-in's window run.
    struct Script
    {
        std::string name;                ///< picked from the window's scripts list
        std::optional<std::string> text; ///< a script file's bytes, typed into it instead
    };

    /// How the script window ended a batch run.
    struct Outcome
    {
        int exitCode = 0;    ///< 0 completed, 1 the window stayed open or never opened, 2 usage
        std::string message; ///< the error box's text or what went wrong; empty on success
    };

    virtual ~EditorFace() = default;

    /// Loads the plug-ins @p options name: every library in the plug-in folder (--plugin-folder,
    /// else the one beside the program), then each given with --plugin; answers the errors,
    /// one per library.
    std::vector<std::string> loadPlugins(const PlintharOptions &options);
    /// The loaded plug-in batch mode invokes, by index (CommandLine::batchPlugin); none when
    /// no plug-in is loaded.
    std::optional<std::size_t> batchPlugin(const PlintharOptions &options) const;

    /// Loads every plug-in library in @p folder (the program's own plug-in folder when none is
    /// given), in name order; answers the errors, one per library.
    virtual std::vector<std::string> loadPluginFolder(const std::optional<std::string> &folder) = 0;
    /// Loads the plug-in @p path; false with @p error set when it cannot be loaded or is not a
    /// plug-in.
    virtual bool loadPlugin(const std::string &path, std::string *error) = 0;
    /// The files of the loaded plug-ins, in load order, as full paths.
    virtual std::vector<std::string> pluginPaths() const = 0;
    /// @p path as a full path, as pluginPaths() gives them.
    virtual std::string fullPath(const std::string &path) const = 0;
    /// Whether the full paths @p a and @p b name the same file, as the system compares names.
    virtual bool samePath(const std::string &a, const std::string &b) const = 0;

    /// The bytes of the file @p path; none, with @p error set to the system's reason, when it
    /// cannot be read.
    virtual std::optional<std::string> readFile(const std::string &path, std::string *error) = 0;
    /// Opens @p path into the view for a batch run: its bytes as they are, with no undo copies
    /// of what a command then changes (nobody can undo a batch run). False with @p error set
    /// to the whole message (the view unchanged) when it cannot be read or shown.
    virtual bool openDocument(const std::string &path, std::string *error) = 0;
    /// The document's size in the bytes of its file.
    virtual std::size_t documentSize() = 0;
    /// Shows the frame as the editor shows it to a user.
    virtual void showFrame() = 0;
    /// Selects the document's bytes @p start to @p end, offsets into its file (end at most
    /// documentSize()).
    virtual void selectBytes(std::size_t start, std::size_t end) = 0;
    /**
     * Invokes plug-in @p plugin's command and drives its script window as a user would: picks
     * or types @p script, presses Run, and, when @p limit is given, presses Stop whenever the
     * limit says (TimeLimit::due). Returns when the window has closed, with how it ended.
     */
    virtual Outcome runCommand(std::size_t plugin, const Script &script, TimeLimit *limit) = 0;
    /// The document's bytes as its file keeps them; valid until the document changes.
    virtual std::string_view documentBytes() = 0;
};
