#include "platform/qt/windowregistry.h"
#include "pluginfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>
#include <dlfcn.h>

namespace {

int countSent(const std::vector<PluginFixture::Sent> &sent, platform::MessageId id)
{
    return int(std::count_if(sent.begin(), sent.end(), [id](auto &s) { return s.id == id; }));
}

} // namespace

TEST(KorvexLibrary, ExportsExactlyTheSevenEntryPoints)
{
    QProcess nm;
    nm.start("nm", {"-D", "--defined-only", "--format=just-symbols", KORVEX_LIBRARY});
    ASSERT_TRUE(nm.waitForFinished());
    QStringList names =
        QString::fromLatin1(nm.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    names.sort();
    EXPECT_EQ(names, (QStringList{"GetBitmapID", "GetMenuTextID", "GetStatusMessageID", "OnCommand",
                                  "OnEvents", "PlugInProc", "QueryStatus"}));
}

TEST_F(PluginFixture, AnswersTheFixedIdsAndIsAlwaysAvailable)
{
    EXPECT_EQ(korvex.GetMenuTextID(), 1u);
    EXPECT_EQ(korvex.GetStatusMessageID(), 2u);
    EXPECT_EQ(korvex.GetBitmapID(), 101u);
    int32_t untouched = 12345;
    EXPECT_EQ(korvex.QueryStatus(view, &untouched), -1);
    EXPECT_EQ(korvex.QueryStatus(nullptr, nullptr), -1);
    EXPECT_EQ(untouched, 12345);
}

TEST_F(PluginFixture, RefreshUsesTheIdStoredFirstInTheSameCall)
{
    korvex.OnEvents(view, EVT_SET_COMMAND_ID, 5);
    korvex.OnEvents(view, EVT_REFRESH, 0);
    korvex.OnEvents(view, EVT_SET_COMMAND_ID | EVT_REFRESH, 77);
    korvex.OnEvents(view, 0x1 | 0x8000, 5); // unknown bits are ignored
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].id, platform::MessageId(MSG_UPDATE_COMMAND));
    EXPECT_EQ(sent[0].wParam, 5u);
    EXPECT_EQ(sent[1].wParam, 77u);
}

TEST_F(PluginFixture, ALibraryJustLoadedRefreshesWithTheIdZero)
{
    // A copy of its own, so that its state is that of a library just loaded, whatever the
    // other tests of this process did to the first.
    const QString copy = home.filePath(QStringLiteral("KorvexCopy.so"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KORVEX_LIBRARY), copy));
    void *fresh =
        dlopen(QFile::encodeName(copy).constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    ASSERT_NE(fresh, nullptr) << dlerror();
    PlintharEntryPoints copied;
    ASSERT_EQ(copied.resolve([fresh](const char *name) { return dlsym(fresh, name); }), nullptr);
    copied.OnEvents(view, EVT_REFRESH, 0);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].wParam, 0u);
    dlclose(fresh);
}

TEST_F(PluginFixture, CommandOutsideAMainFrameDoesNothing)
{
    const platform::WindowHandle stray = platform::createWindow("PlintharView", nullptr, {});
    korvex.OnCommand(stray);
    EXPECT_EQ(korvexWindow(), nullptr);
    EXPECT_TRUE(boxes.empty());
    platform::destroyWindow(stray);
}

TEST_F(PluginFixture, CommandShowsOneWindowThatKeepsItsScriptUntilRelease)
{
    whenShown([](QDialog *w) {
        w->findChild<QPlainTextEdit *>("Memo1")->setPlainText("puts 42");
        w->close();
    });
    korvex.OnCommand(view);
    QDialog *first = korvexWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(countSent(sent, MSG_GET_SEL_TYPE), 1);

    QString seen;
    whenShown([&seen](QDialog *w) {
        seen = w->findChild<QPlainTextEdit *>("Memo1")->toPlainText();
        w->close();
    });
    korvex.OnCommand(view);
    EXPECT_EQ(korvexWindow(), first);
    EXPECT_EQ(seen, "puts 42");

    korvex.OnEvents(view, EVT_RELEASE, 0);
    EXPECT_EQ(korvexWindow(), nullptr);
    korvex.OnEvents(view, EVT_RELEASE, 0); // no window: nothing happens

    whenShown([&seen](QDialog *w) {
        seen = w->findChild<QPlainTextEdit *>("Memo1")->toPlainText();
        w->close();
    });
    korvex.OnCommand(view);
    EXPECT_EQ(seen, "");
}

TEST_F(PluginFixture, ReleaseDuringTheShowingEndsItFirst)
{
    whenShown([this](QDialog *) { korvex.OnEvents(view, EVT_RELEASE, 0); });
    korvex.OnCommand(view); // returns: the showing ended
    EXPECT_EQ(korvexWindow(), nullptr);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PluginFixture, CommandAndReleaseDuringARunWaitForTheRunToEnd)
{
    whenShown([this](QDialog *w) {
        w->findChild<QPlainTextEdit *>("Memo1")->setPlainText("loop {}");
        // What a host might do from its own timer while the script runs: the window events
        // handled during the run let the timer fire inside the run.
        QTimer::singleShot(700, qApp, [this] {
            korvex.OnCommand(view);                // refused: it would run inside the run
            korvex.OnEvents(view, EVT_RELEASE, 0); // stops the script; done after the run
        });
        w->findChild<QAbstractButton *>("SpeedButton1")->click();
    });
    korvex.OnCommand(view); // returns once the stopped run has ended and the window has gone
    EXPECT_EQ(korvexWindow(), nullptr);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(countSent(sent, MSG_INSERT_STRING), 0);
}

TEST_F(PluginFixture, CommandFromInsideTheShowingIsRefusedInABox)
{
    whenShown([this](QDialog *w) {
        korvex.OnCommand(view);
        w->close();
    });
    korvex.OnCommand(view);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "表示されているウィンドウをモーダルにすることはできません.");
}

TEST_F(PluginFixture, OtherTopLevelWindowsAreDisabledWhileShown)
{
    QWidget other;
    other.show();
    bool disabledWhileShown = false;
    whenShown([&](QDialog *w) {
        disabledWhileShown = !other.isEnabled();
        w->close();
    });
    korvex.OnCommand(view);
    EXPECT_TRUE(disabledWhileShown);
    EXPECT_TRUE(other.isEnabled());
}
