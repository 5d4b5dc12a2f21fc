#include "resources/stringtables.h"

namespace {

struct Entry
{
    int id;
    platform::Language language;
    const char *text;
};

// Generated from stringtable.txt, the one place the texts are written.
constexpr Entry entries[] = {
#include "stringtable.inc"
};

} // namespace

std::map<int, std::string> korvexStringTable(platform::Language language)
{
    if (language != platform::Language::Japanese)
        language = platform::Language::English;
    std::map<int, std::string> table;
    for (const Entry &entry : entries) {
        if (entry.language == language)
            table.emplace(entry.id, entry.text);
    }
    return table;
}
