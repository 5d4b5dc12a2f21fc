#include "resources/stringtables.h"

#include <gtest/gtest.h>

using platform::Language;

TEST(StringTables, HoldTheMenuStatusUninstallAndVersionTextsInBothLanguages)
{
    struct Case
    {
        Language language;
        int id;
        const char *text;
    };
    const Case cases[] = {
        {Language::English, 1, "Run Ruby Script"},
        {Language::English, 2, "Run Ruby Script"},
        {Language::English, 3, "Are you sure you want to uninstall this Plug-in?"},
        {Language::English, 5, "1.00"},
        {Language::Japanese, 1, "Ruby スクリプト"},
        {Language::Japanese, 2, "Ruby スクリプトを実行する"},
        {Language::Japanese, 3, "アンインストールを実行します。よろしいですか?"},
        {Language::Japanese, 5, "1.00"},
    };
    for (const Case &c : cases) {
        const auto table = korvexStringTable(c.language);
        const auto entry = table.find(c.id);
        ASSERT_NE(entry, table.end()) << int(c.language) << " id " << c.id;
        EXPECT_EQ(entry->second, c.text) << int(c.language) << " id " << c.id;
    }
}

TEST(StringTables, HaveNoDescriptionEntryAndNothingBeyondTheFiveIds)
{
    for (const Language language : {Language::English, Language::Japanese}) {
        const auto table = korvexStringTable(language);
        EXPECT_EQ(table.count(4), 0u) << int(language);
        EXPECT_EQ(table.size(), 4u) << int(language);
    }
}
