#pragma once

#include "host/win32/batchrun.h"
#include "host/win32/mainframe.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

/// The folder of this program, where plinthar.exe and plugins\ are.
std::wstring programFolder();

/// plinthar.exe's frame, shown, with the plug-ins of its plug-in folder (Korvex.dll) loaded
/// as the editor loads them; a private documents folder (PrivateDocuments) holds the scripts.
class PlintharFrame : public ::testing::Test
{
protected:
    void SetUp() override;

    /// Opens @p document (bytes) in the frame's view from a file, as a user does; answers
    /// why not when it cannot.
    std::optional<std::string> openDocument(const std::string &document);
    /// Opens @p document (bytes) from a file, selects the file's bytes @p start to @p end,
    /// and runs Korvex's command with @p script typed into its editor, or, when @p scriptName
    /// is given, that script chosen from its list.
    BatchRun::Result run(const std::string &document, std::size_t start, std::size_t end,
                         const std::string &script, const std::string &scriptName = {});
    /// Puts @p bytes into the scripts folder as @p name.
    static void writeScript(const std::string &name, const std::string &bytes);
    static std::string scriptsFolder();

    std::unique_ptr<MainFrame> frame;
    std::vector<std::string> loadErrors;
};
