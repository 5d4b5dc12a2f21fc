#include "commandline.h"

#include <cctype>
#include <charconv>

namespace {

bool parseNumber(const std::string &text, long long *value)
{
    const char *const end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, *value);
    return error == std::errc() && at == end && *value >= 0;
}

} // namespace

std::optional<PlintharOptions> CommandLine::parse(const std::vector<std::string> &args,
                                                  std::string *error)
{
    PlintharOptions options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const auto value = [&](std::size_t count) {
            if (i + count >= args.size()) {
                *error = arg + " needs " + std::to_string(count) + " value(s).";
                return false;
            }
            return true;
        };
        if (arg == "--batch") {
            options.batch = true;
        } else if (arg == "--script") {
            if (!value(1))
                return std::nullopt;
            options.scriptName = args[++i];
        } else if (arg == "--script-file") {
            if (!value(1))
                return std::nullopt;
            options.scriptFile = args[++i];
        } else if (arg == "--selection") {
            if (!value(2))
                return std::nullopt;
            long long start = 0;
            long long end = 0;
            if (!parseNumber(args[i + 1], &start) || !parseNumber(args[i + 2], &end) ||
                start > end) {
                *error = "--selection needs two byte offsets START <= END.";
                return std::nullopt;
            }
            options.selection = std::pair(start, end);
            i += 2;
        } else if (arg == "--time-limit") {
            if (!value(1))
                return std::nullopt;
            long long seconds = 0;
            if (!parseNumber(args[++i], &seconds) || seconds < 1 || seconds > 86'400) {
                *error = "--time-limit needs a whole number of seconds from 1 to 86400.";
                return std::nullopt;
            }
            options.timeLimit = int(seconds);
        } else if (arg == "--plugin") {
            if (!value(1))
                return std::nullopt;
            options.plugins.push_back(args[++i]);
        } else if (arg == "--plugin-folder") {
            if (!value(1))
                return std::nullopt;
            options.pluginFolder = args[++i];
        } else if (arg.rfind("--", 0) == 0 || !options.document.empty()) {
            *error = "Unexpected argument \"" + arg + "\".";
            return std::nullopt;
        } else {
            options.document = arg;
        }
    }
    if (options.batch) {
        if (options.document.empty() ||
            options.scriptName.empty() == !options.scriptFile.has_value()) {
            *error = "Batch mode needs a DOCUMENT and one of --script or --script-file.";
            return std::nullopt;
        }
    } else if (!options.scriptName.empty() || options.scriptFile || options.selection ||
               options.timeLimit) {
        *error = "--script, --script-file, --selection and --time-limit need --batch.";
        return std::nullopt;
    }
    return options;
}

const char *CommandLine::usage()
{
    return "Usage: plinthar [--plugin PATH]... [--plugin-folder DIR] [DOCUMENT]\n"
           "       plinthar --batch (--script NAME | --script-file PATH) [--selection START END]\n"
           "                [--time-limit SECONDS] [--plugin PATH]... [--plugin-folder DIR]\n"
           "                DOCUMENT\n";
}

bool CommandLine::isKorvex(const std::string &path)
{
    std::string name = path.substr(path.find_last_of("/\\") + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.resize(dot);
    if (name.size() != 6)
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != "korvex"[i])
            return false;
    }
    return true;
}
