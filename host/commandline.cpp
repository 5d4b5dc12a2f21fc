#include "host/commandline.h"

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

namespace {

/// Reads the argument at @p i of @p args (and the values it takes, moving @p i past them) into
/// @p options; false with @p error set when it is wrong.
bool readArgument(const std::vector<std::string> &args, std::size_t &i, PlintharOptions &options,
                  std::string *error)
{
    const std::string &arg = args[i];
    const auto values = [&](std::size_t count) {
        if (i + count < args.size())
            return true;
        *error = arg + " needs " + std::to_string(count) + " value(s).";
        return false;
    };
    if (arg == "--batch") {
        options.batch = true;
    } else if (arg == "--script" || arg == "--script-file" || arg == "--plugin" ||
               arg == "--plugin-folder") {
        if (!values(1))
            return false;
        const std::string &value = args[++i];
        if (arg == "--script")
            options.scriptName = value;
        else if (arg == "--script-file")
            options.scriptFile = value;
        else if (arg == "--plugin")
            options.plugins.push_back(value);
        else
            options.pluginFolder = value;
    } else if (arg == "--selection") {
        long long start = 0;
        long long end = 0;
        if (!values(2))
            return false;
        if (!parseNumber(args[i + 1], &start) || !parseNumber(args[i + 2], &end) || start > end) {
            *error = "--selection needs two byte offsets START <= END.";
            return false;
        }
        options.selection = std::pair(start, end);
        i += 2;
    } else if (arg == "--time-limit") {
        long long seconds = 0;
        if (!values(1))
            return false;
        if (!parseNumber(args[++i], &seconds) || seconds < 1 || seconds > 86'400) {
            *error = "--time-limit needs a whole number of seconds from 1 to 86400.";
            return false;
        }
        options.timeLimit = int(seconds);
    } else if (arg.rfind("--", 0) == 0 || !options.document.empty()) {
        *error = "Unexpected argument \"" + arg + "\".";
        return false;
    } else {
        options.document = arg;
    }
    return true;
}

/// Whether @p options go together; false with @p error set when they do not.
bool consistent(const PlintharOptions &options, std::string *error)
{
    if (options.batch) {
        if (!options.document.empty() &&
            options.scriptName.empty() == options.scriptFile.has_value())
            return true;
        *error = "Batch mode needs a DOCUMENT and one of --script or --script-file.";
        return false;
    }
    if (!options.scriptName.empty() || options.scriptFile || options.selection ||
        options.timeLimit) {
        *error = "--script, --script-file, --selection and --time-limit need --batch.";
        return false;
    }
    return true;
}

} // namespace

std::optional<PlintharOptions> CommandLine::parse(const std::vector<std::string> &args,
                                                  std::string *error)
{
    PlintharOptions options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (!readArgument(args, i, options, error))
            return std::nullopt;
    }
    if (!consistent(options, error))
        return std::nullopt;
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
