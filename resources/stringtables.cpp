#include "stringtables.h"

std::map<int, std::string> korvexStringTable(platform::Language language)
{
    // Id 4 (the plug-in's description text) deliberately has no entry in either language.
    if (language == platform::Language::Japanese) {
        return {
            {1, "Ruby スクリプト"},
            {2, "Ruby スクリプトを実行する"},
            {3, "アンインストールを実行します。よろしいですか?"},
            {5, "1.00"},
        };
    }
    return {
        {1, "Run Ruby Script"},
        {2, "Run Ruby Script"},
        {3, "Are you sure you want to uninstall this Plug-in?"},
        {5, "1.00"},
    };
}
