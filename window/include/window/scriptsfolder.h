#pragma once

#include "runner/scriptsource.h"

#include <optional>
#include <string>
#include <vector>

/**
 * The folder "Korvex" in the user's documents folder, where the scripts are kept.
 */
class ScriptsFolder
{
public:
    /// The scripts folder inside @p documents: a separator is added unless its last byte is
    /// one, then "Korvex". Empty for an empty @p documents (no documents folder known).
    static std::string pathIn(const std::string &documents);

    /// Finds the folder in the user's documents folder and creates it when it is missing (one
    /// level; a failure leaves the path pointing at a missing folder, which lists nothing).
    void prepare();
    /// The folder's full path, without a trailing separator; empty when there is none.
    const std::string &path() const { return m_path; }
    /// The full path of the entry @p name of the folder.
    std::string pathOf(const std::string &name) const;

    /// The names of the folder's `*.rb` entries (folders named so included), in the order the
    /// file system delivers them.
    std::vector<std::string> list() const;
    /// The bytes of the script @p name, which from now on is the file the editor's script runs
    /// as; none when no file is there (a folder, a vanished file). Throws std::runtime_error
    /// "ファイル PATH は開けません" when it exists but cannot be read.
    std::optional<std::string> load(const std::string &name);
    /// The file the script in the editor runs as: the one last loaded, or "untitled.rb" in the
    /// folder before any was (empty when there is no folder).
    std::string scriptFileName() const;
    /// How the script in the editor is compiled: as a file's text once one was loaded, else as
    /// typed in.
    ScriptSource scriptSource() const
    {
        return m_loadedScript.empty() ? ScriptSource::Typed : ScriptSource::File;
    }

private:
    std::string m_path;
    std::string m_loadedScript; // full path of the script last loaded
};
