#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

/// What plinthar's command line asks for, on both systems. Texts are bytes as the program got
/// them (the locale's coding on Linux, UTF-8 on Windows).
struct PlintharOptions
{
    bool batch = false;
    std::string scriptName;
    std::optional<std::string> scriptFile;
    std::optional<std::pair<long long, long long>> selection; ///< byte offsets, start <= end
    std::optional<int> timeLimit;                             ///< seconds, at least 1
    std::vector<std::string> plugins;
    std::optional<std::string> pluginFolder;
    std::string document;
};

/// plinthar's command line: the editor's options and its batch mode's.
class CommandLine
{
public:
    /// The options of @p args (the program's name first); none, with @p error set, for a
    /// usage error.
    static std::optional<PlintharOptions> parse(const std::vector<std::string> &args,
                                                std::string *error);
    /// The usage text, lines ending in "\n".
    static const char *usage();

    /**
     * The plug-in batch mode invokes, by index into @p loaded (the loaded plug-ins' paths): the
     * first of @p named (the paths given with --plugin, in order) that is loaded, else the one
     * whose file is named Korvex (any case, any extension), else the first loaded. Paths
     * compare with @p samePath.
     */
    template <typename SamePath>
    static std::optional<std::size_t> batchPlugin(const std::vector<std::string> &loaded,
                                                  const std::vector<std::string> &named,
                                                  SamePath samePath)
    {
        for (const std::string &wanted : named) {
            for (std::size_t i = 0; i < loaded.size(); ++i) {
                if (samePath(loaded[i], wanted))
                    return i;
            }
        }
        for (std::size_t i = 0; i < loaded.size(); ++i) {
            if (isKorvex(loaded[i]))
                return i;
        }
        if (!loaded.empty())
            return 0;
        return std::nullopt;
    }

private:
    static bool isKorvex(const std::string &path);
};
