#include "window/scriptsfolder.h"

#include "platform/filesystem.h"
#include "platform/shellfolders.h"
#include "window/toolkittexts.h"

#include <stdexcept>

std::string ScriptsFolder::pathIn(const std::string &documents)
{
    if (documents.empty())
        return {};
    std::string path = documents;
    if (path.back() != platform::pathSeparator())
        path += platform::pathSeparator();
    return path + "Korvex";
}

void ScriptsFolder::prepare()
{
    m_path = pathIn(platform::documentsFolder());
    if (!m_path.empty() && !platform::folderExists(m_path))
        platform::createFolder(m_path);
}

std::string ScriptsFolder::pathOf(const std::string &name) const
{
    return m_path + platform::pathSeparator() + name;
}

std::vector<std::string> ScriptsFolder::list() const
{
    if (m_path.empty())
        return {};
    return platform::findEntries(m_path, "*.rb");
}

std::optional<std::string> ScriptsFolder::load(const std::string &name)
{
    const std::string path = pathOf(name);
    if (m_path.empty() || !platform::fileExists(path))
        return std::nullopt;
    std::optional<std::string> bytes = platform::readFile(path);
    if (!bytes)
        throw std::runtime_error(ToolkitTexts::cannotOpenFile(path));
    m_loadedScript = path;
    return bytes;
}

std::string ScriptsFolder::scriptFileName() const
{
    if (!m_loadedScript.empty())
        return m_loadedScript;
    return m_path.empty() ? std::string() : pathOf("untitled.rb");
}
