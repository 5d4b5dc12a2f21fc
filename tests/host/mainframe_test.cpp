#include "host/qt/editorview.h"
#include "host/qt/mainframe.h"
#include "host/qt/pluginsdialog.h"
#include "platform/messagebox.h"
#include "platform/qt/messageboxhook.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeWidget>
#include <array>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

std::string className(platform::WindowHandle window)
{
    std::array<char, 64> name{};
    platform::getClassName(window, name.data(), int(name.size()));
    return name.data();
}

// The events the test plug-in was told about so far.
std::string pluginEvents()
{
    void *handle = dlopen(TESTPLUGIN_PATH, RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr)
        return "(not loaded)";
    auto events = reinterpret_cast<const char *(*)()>(dlsym(handle, "TestPluginEvents"));
    std::string result = events ? events() : "(no log)";
    dlclose(handle);
    return result;
}

// Answers every message box with a fixed choice while it lives.
class MessageBoxAnswer
{
public:
    explicit MessageBoxAnswer(platform::MessageBoxResult answer)
    {
        m_previous = platform::setMessageBoxHook(
            [answer](platform::WindowHandle, const std::string &, const std::string &,
                     platform::MessageBoxStyle) { return answer; });
    }
    ~MessageBoxAnswer() { platform::setMessageBoxHook(std::move(m_previous)); }

private:
    platform::MessageBoxHook m_previous;
};

// The test plug-in can be loaded once per process, so one frame holds it for all the tests
// that use it; the uninstall test, which comes last, unloads it.
class MainFrameWithPlugin : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        frame = std::make_unique<MainFrame>();
        QString error;
        loaded = frame->loadPlugin(QStringLiteral(TESTPLUGIN_PATH), &error);
        loadError = error.toStdString();
    }
    static void TearDownTestSuite() { frame.reset(); }
    void SetUp() override { ASSERT_TRUE(loaded) << loadError; }

    static QAction *action() { return frame->plugins().at(0).action; }

    static inline std::unique_ptr<MainFrame> frame;
    static inline bool loaded = false;
    static inline std::string loadError;
};

TEST(MainFrame, IsATopLevelMainFrameWithTheViewAsItsChild)
{
    MainFrame frame;
    EXPECT_EQ(className(frame.handle()), "PlintharMainFrame3");
    EXPECT_EQ(platform::getParent(frame.handle()), nullptr);
    EXPECT_EQ(platform::getParent(frame.view()->handle()), frame.handle());
}

TEST(MainFrame, ReportsAndSkipsLibrariesThatAreNoPlugins)
{
    QTemporaryDir dir;
    QFile garbage(dir.filePath(QStringLiteral("garbage.so")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("this is not a shared library");
    garbage.close();
    ASSERT_TRUE(QFile::copy(QStringLiteral(NOTAPLUGIN_PATH), dir.filePath("notaplugin.so")));

    MainFrame frame;
    const QStringList errors = frame.loadPluginFolder(dir.path());
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("Cannot load the plug-in")))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains(QStringLiteral("has no entry point OnCommand")))
        << errors[1].toStdString();
    EXPECT_TRUE(frame.plugins().empty());
}

TEST(MainFrame, LoadsAPluginWrittenInCAgainstTheInterfaceHeaderAlone)
{
    MainFrame frame;
    QString error;
    ASSERT_TRUE(frame.loadPlugin(QStringLiteral(CPLUGIN_PATH), &error)) << error.toStdString();
    PluginsDialog dialog(&frame);
    const auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("pluginList"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("1.0 (C)"));
}

TEST_F(MainFrameWithPlugin, ShowsTheMenuTextStatusTextAndTransparentBitmap)
{
    EXPECT_EQ(action()->text(), QStringLiteral("Upper Case"));
    EXPECT_EQ(action()->statusTip(), QStringLiteral("Upper-case the selection"));
    const QImage icon = action()->icon().pixmap(16, 16).toImage();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(qAlpha(icon.pixel(15, 0)), 0) << "the magenta corner is transparent";
    EXPECT_EQ(icon.pixel(8, 8), qRgb(0x20, 0x60, 0xE0));
    const QImage disabled = action()->icon().pixmap(QSize(16, 16), QIcon::Disabled).toImage();
    EXPECT_EQ(disabled.pixel(8, 8), qRgb(0xA0, 0xA0, 0xA0));
    EXPECT_TRUE(frame->findChild<QToolBar *>()->actions().contains(action()));
    EXPECT_EQ(frame->plugins().at(0).library->version(frame->view()->handle()),
              QStringLiteral("2.50"));
}

TEST_F(MainFrameWithPlugin, ToldThePluginItsCommandId)
{
    const std::string expected = "id " + std::to_string(frame->plugins().at(0).commandId) + ";";
    EXPECT_EQ(pluginEvents().substr(0, expected.size()), expected);
}

TEST_F(MainFrameWithPlugin, EnablesTheCommandAsThePluginAnswersWhenTheSelectionChanges)
{
    frame->view()->setText(QStringLiteral("abc"));
    frame->view()->selectRange(1, 1);
    EXPECT_FALSE(action()->isEnabled());
    frame->view()->selectRange(0, 2);
    EXPECT_TRUE(action()->isEnabled());
}

TEST_F(MainFrameWithPlugin, RunsTheCommandAsOneUndoStep)
{
    frame->view()->setText(QStringLiteral("keep this\nand this"));
    frame->view()->selectRange(5, 14);
    frame->runCommand(0);
    EXPECT_EQ(frame->documentText(), QStringLiteral("keep THIS\nAND this"));
    frame->view()->undo();
    EXPECT_EQ(frame->documentText(), QStringLiteral("keep this\nand this"));
    frame->view()->redo();
    EXPECT_EQ(frame->documentText(), QStringLiteral("keep THIS\nAND this"));
}

TEST_F(MainFrameWithPlugin, KeepsTheFilesBytesThroughARunASaveAndAnUndo)
{
    struct Case
    {
        const char *what;
        QByteArray file;
        int start, end; // nothing selected: the whole document
        QByteArray saved;
    };
    const Case cases[] = {
        {"CR LF", "ab\r\ncd\r\n", 0, 0, "AB\r\nCD\r\n"},
        {"LF", "ab\ncd\n", 0, 0, "AB\nCD\n"},
        {"CR", "ab\rcd", 0, 0, "AB\rCD"},
        {"not UTF-8, a line separator", "caf\xe9\r\nx\xe2\x80\xa8y\nend", 12, 15,
         "caf\xe9\r\nx\xe2\x80\xa8y\nEND"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.file);
        file.close();
        QString error;
        ASSERT_TRUE(frame->openDocument(path, &error)) << error.toStdString();
        EXPECT_FALSE(frame->view()->isUndoAvailable());
        frame->view()->selectRange(c.start, c.end);
        frame->runCommand(0);
        ASSERT_TRUE(frame->writeDocument(path, &error)) << error.toStdString();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), c.saved);
        file.close();
        EXPECT_FALSE(frame->view()->isModified());
        frame->view()->undo();
        EXPECT_EQ(frame->documentBytes(), c.file);
        EXPECT_TRUE(frame->view()->isModified());
    }
}

TEST(MainFrame, ReportsAFileItCannotOpenAndKeepsTheDocument)
{
    MainFrame frame;
    frame.view()->setText(QStringLiteral("kept"));
    QString error;
    EXPECT_FALSE(frame.openDocument(QStringLiteral("/nonexistent/doc.txt"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent/doc.txt"))) << error.toStdString();
    EXPECT_EQ(frame.documentBytes(), "kept");
}

TEST_F(MainFrameWithPlugin, RefusesASecondCopyOfTheSameLibrary)
{
    QString error;
    EXPECT_FALSE(frame->loadPlugin(QStringLiteral(TESTPLUGIN_PATH), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("already loaded")));
    EXPECT_EQ(frame->plugins().size(), 1u);
    EXPECT_EQ(action()->text(), QStringLiteral("Upper Case")) << "resources kept";
}

TEST_F(MainFrameWithPlugin, ListsEachPluginsMenuTextAndVersionInThePluginsDialog)
{
    PluginsDialog dialog(frame.get());
    const auto *list = dialog.findChild<QTreeWidget *>(QStringLiteral("pluginList"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Upper Case"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("2.50"));
}

TEST_F(MainFrameWithPlugin, UninstallsOnlyAfterThePluginConfirms)
{
    {
        MessageBoxAnswer no(platform::MessageBoxResult::No);
        EXPECT_FALSE(frame->uninstallPlugin(0));
        EXPECT_EQ(frame->plugins().size(), 1u);
    }
    MessageBoxAnswer yes(platform::MessageBoxResult::Yes);
    ASSERT_TRUE(frame->uninstallPlugin(0));
    EXPECT_TRUE(frame->plugins().empty());
    const std::string events = pluginEvents();
    EXPECT_EQ(events.substr(events.size() - 8), "release;");
}

} // namespace
