#include "host/editorface.h"

std::vector<std::string> EditorFace::loadPlugins(const PlintharOptions &options)
{
    std::vector<std::string> errors = loadPluginFolder(options.pluginFolder);
    for (const std::string &path : options.plugins) {
        std::string error;
        if (!loadPlugin(path, &error))
            errors.push_back(error);
    }
    return errors;
}

std::optional<std::size_t> EditorFace::batchPlugin(const PlintharOptions &options) const
{
    std::vector<std::string> named;
    named.reserve(options.plugins.size());
    for (const std::string &path : options.plugins)
        named.push_back(fullPath(path));
    return CommandLine::batchPlugin(
        pluginPaths(), named,
        [this](const std::string &a, const std::string &b) { return samePath(a, b); });
}
