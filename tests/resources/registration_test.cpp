#include "platform/qt/resourceregistry.h"
#include "resources/korvexbitmaps.h"
#include "resources/qt/korvexbitmapfiles.h"
#include "resources/qt/korvexresources.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// Any address inside this test program names its module, as the plug-in's own would.
const int anchor = 0;

class ScopedLanguage
{
public:
    explicit ScopedLanguage(const char *locale) { ::setenv("LC_ALL", locale, 1); }
    ~ScopedLanguage() { ::unsetenv("LC_ALL"); }
    ScopedLanguage(const ScopedLanguage &) = delete;
    ScopedLanguage &operator=(const ScopedLanguage &) = delete;
};

} // namespace

TEST(KorvexResources, ReachTheHostThroughThePlatformRegistryUntilUnregistered)
{
    const platform::ModuleHandle module = platform::moduleOfAddress(&anchor);
    registerKorvexResources(module);

    for (const KorvexBitmap &bitmap : korvexBitmaps()) {
        EXPECT_EQ(platform::loadBitmapData(module, bitmap.id), korvexBitmapFile(bitmap.id))
            << bitmap.id;
        EXPECT_FALSE(platform::loadBitmap(module, bitmap.id).isNull()) << bitmap.id;
    }
    EXPECT_TRUE(platform::loadBitmapData(module, 110).isEmpty());
    {
        const ScopedLanguage english("en_US.UTF-8");
        EXPECT_EQ(platform::loadString(module, 1), "Run Ruby Script");
        EXPECT_EQ(platform::loadString(module, 4), "");
    }
    {
        const ScopedLanguage japanese("ja_JP.UTF-8");
        EXPECT_EQ(platform::loadString(module, 2), "Ruby スクリプトを実行する");
        EXPECT_EQ(platform::loadString(module, 5), "1.00");
    }

    unregisterKorvexResources(module);
    EXPECT_TRUE(platform::loadBitmapData(module, 101).isEmpty());
    EXPECT_EQ(platform::loadString(module, 1), "");
}
