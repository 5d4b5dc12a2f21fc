#pragma once

#include "host/editorface.h"

#include <string>

class MainFrame;

/// plinthar.exe as the shared code (EditorFace, BatchMode) sees it: its frame, its EDIT view,
/// its plug-in libraries and, for a batch run, the plug-in's script window (BatchRun). Paths
/// are UTF-8, as the command line gives them; messages are in the system's code page.
class FrameFace : public EditorFace
{
public:
    /// A face over @p frame, which outlives it.
    explicit FrameFace(MainFrame &frame) : m_frame(frame) {}

    std::vector<std::string> loadPluginFolder(const std::optional<std::string> &folder) override;
    bool loadPlugin(const std::string &path, std::string *error) override;
    std::vector<std::string> pluginPaths() const override;
    std::string fullPath(const std::string &path) const override;
    bool samePath(const std::string &a, const std::string &b) const override;

    std::optional<std::string> readFile(const std::string &path, std::string *error) override;
    bool openDocument(const std::string &path, std::string *error) override;
    std::size_t documentSize() override;
    void showFrame() override;
    void selectBytes(std::size_t start, std::size_t end) override;
    Outcome runCommand(std::size_t plugin, const Script &script, TimeLimit *limit) override;
    std::string_view documentBytes() override;

private:
    MainFrame &m_frame;
    std::string m_bytes; // the document's bytes as its file keeps them, when last asked
};
