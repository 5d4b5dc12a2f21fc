#include "platform/qt/resourceregistry.h"
#include "platform/resourcetable.h"

#include <QBuffer>
#include <array>
#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace platform;

namespace {

// Sets (or, with nullopt, unsets) the three language variables while it lives.
class LanguageEnvironment
{
public:
    LanguageEnvironment(std::optional<std::string> all, std::optional<std::string> messages,
                        std::optional<std::string> lang)
    {
        const std::array<std::optional<std::string>, 3> values{all, messages, lang};
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            if (const char *old = std::getenv(kNames[i]))
                m_saved[i] = old;
            if (values[i])
                setenv(kNames[i], values[i]->c_str(), 1);
            else
                unsetenv(kNames[i]);
        }
    }
    ~LanguageEnvironment()
    {
        for (std::size_t i = 0; i < kNames.size(); ++i) {
            if (m_saved[i])
                setenv(kNames[i], m_saved[i]->c_str(), 1);
            else
                unsetenv(kNames[i]);
        }
    }

private:
    static constexpr std::array<const char *, 3> kNames{"LC_ALL", "LC_MESSAGES", "LANG"};
    std::array<std::optional<std::string>, 3> m_saved;
};

// A module handle of its own per test, so registrations never meet.
const int g_anchors[4] = {};

TEST(Resources, PicksTheLanguageFromTheFirstVariableThatIsSet)
{
    struct Case
    {
        std::optional<std::string> all, messages, lang;
        Language expected;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, std::nullopt, Language::English},
        {std::nullopt, std::nullopt, "ja_JP.UTF-8", Language::Japanese},
        {"C", std::nullopt, "ja_JP.UTF-8", Language::English},
        {"", std::nullopt, "ja_JP.UTF-8", Language::Japanese},
        {std::nullopt, "ja", "en_US.UTF-8", Language::Japanese},
        {"ja_JP.eucJP", "C", "C", Language::Japanese},
        {std::nullopt, std::nullopt, "jam", Language::Japanese},
        {std::nullopt, std::nullopt, "en_JA", Language::English},
    };
    for (const Case &c : cases) {
        LanguageEnvironment env(c.all, c.messages, c.lang);
        EXPECT_EQ(userLanguage(), c.expected)
            << c.all.value_or("-") << " " << c.messages.value_or("-") << " "
            << c.lang.value_or("-");
    }
}

TEST(Resources, LoadsStringsByModuleLanguageAndIdWithFallback)
{
    // Modules are told apart by the address's link map; fake distinct ones from addresses.
    const ModuleHandle module = reinterpret_cast<ModuleHandle>(&g_anchors[0]);
    const ModuleHandle other = reinterpret_cast<ModuleHandle>(&g_anchors[1]);
    registerStringTable(module, Language::English, {{1, "Run"}, {2, "Only English"}});
    registerStringTable(module, Language::Japanese, {{1, "実行"}, {3, "日本語だけ"}});
    registerStringTable(other, Language::English, {{1, "Other"}});
    struct Case
    {
        const char *lang;
        int id;
        std::string expected;
    };
    const Case cases[] = {
        {"en_US", 1, "Run"},        {"ja_JP", 1, "実行"}, {"ja_JP", 2, "Only English"},
        {"en_US", 3, "日本語だけ"}, {"en_US", 4, ""},     {"ja_JP", 4, ""}};
    for (const Case &c : cases) {
        LanguageEnvironment env(std::nullopt, std::nullopt, c.lang);
        EXPECT_EQ(loadString(module, c.id), c.expected) << c.lang << " " << c.id;
    }
    EXPECT_EQ(loadString(other, 1), "Other");
    unregisterModule(module);
    EXPECT_EQ(loadString(module, 1), "");
    EXPECT_EQ(loadString(other, 1), "Other");
    unregisterModule(other);
}

TEST(Resources, CopiesAStringWithinTheBufferSize)
{
    const ModuleHandle module = reinterpret_cast<ModuleHandle>(&g_anchors[2]);
    registerStringTable(module, Language::English, {{5, "1.00"}});
    LanguageEnvironment env(std::nullopt, std::nullopt, "C");
    struct Case
    {
        int size;
        int copied;
        std::string text;
    };
    const Case cases[] = {{1, 0, ""}, {3, 2, "1."}, {5, 4, "1.00"}, {16, 4, "1.00"}};
    for (const Case &c : cases) {
        std::array<char, 17> buffer;
        buffer.fill('#');
        EXPECT_EQ(loadString(module, 5, buffer.data(), c.size), c.copied);
        EXPECT_EQ(std::string(buffer.data()), c.text);
        EXPECT_EQ(buffer[std::size_t(c.size)], '#');
    }
    std::array<char, 4> untouched{'#', '#', '#', '#'};
    EXPECT_EQ(loadString(module, 5, untouched.data(), 0), 0);
    EXPECT_EQ(untouched[0], '#');
    unregisterModule(module);
}

TEST(Resources, LoadsBitmapsById)
{
    const ModuleHandle module = reinterpret_cast<ModuleHandle>(&g_anchors[3]);
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 255));
    picture.setPixel(3, 4, qRgb(10, 20, 30));
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "BMP"));
    registerBitmap(module, 101, bmp);
    EXPECT_EQ(loadBitmapData(module, 101), bmp);
    const QImage loaded = loadBitmap(module, 101);
    ASSERT_EQ(loaded.size(), QSize(16, 16));
    EXPECT_EQ(loaded.pixel(3, 4), qRgb(10, 20, 30));
    EXPECT_TRUE(loadBitmap(module, 102).isNull());
    EXPECT_TRUE(loadBitmapData(module, 102).isEmpty());
    unregisterModule(module);
}

#ifdef TESTPLUGIN_PATH
TEST(Resources, AgreesOnTheModuleOfALibraryWithTheLibraryItself)
{
    void *handle = dlopen(TESTPLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    const ModuleHandle module = moduleOfLibrary(handle);
    EXPECT_EQ(moduleOfAddress(dlsym(handle, "OnCommand")), module);
    EXPECT_NE(moduleOfAddress(reinterpret_cast<const void *>(&g_anchors)), module);
    LanguageEnvironment english(std::nullopt, std::nullopt, "en_GB");
    EXPECT_EQ(loadString(module, 1), "Upper Case") << "registered from its static initialiser";
    EXPECT_FALSE(loadBitmap(module, 201).isNull());
    dlclose(handle);
}
#endif

} // namespace
