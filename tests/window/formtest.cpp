// The script window's behaviour, toolkit-free: the core over a fake face.

#include "formfixture.h"

#include "platform/qt/windowregistry.h"
#include "plinthar/plintharplugin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <unistd.h>

using RunState = FormView::RunState;

TEST_F(FormFixture, CentresOnTheViewAndNeverGoesNegative)
{
    const int width = face->frame.width();
    const int height = face->frame.height();
    struct Case
    {
        QRect view;
        TfrmKorvex::Position expected;
    };
    const Case cases[] = {
        // Centre (300, 250) of a 400 x 300 view at (100, 100), exclusive right and bottom.
        {QRect(100, 100, 400, 300), {300 - width / 2, 250 - height / 2}},
        {QRect(0, 0, 40, 30), {0, 0}},
        {QRect(-500, 600, 100, 100), {0, 650 - height / 2}},
        {QRect(601, -50, 3, 3), {602 - width / 2, 0}},
    };
    for (const Case &c : cases) {
        platform::setWindowRect(view.handle(), c.view);
        form->AttachToView(view.handle());
        EXPECT_EQ((TfrmKorvex::Position{face->frame.left, face->frame.top}), c.expected);
        EXPECT_EQ(face->frame.width(), width);
    }
    // A showing places the window again, once a window manager's frame is known.
    face->frame = {0, 0, width + 10, height + 30};
    form->FormShow();
    EXPECT_EQ((TfrmKorvex::Position{face->frame.left, face->frame.top}),
              (TfrmKorvex::Position{602 - (width + 10) / 2, 0}));
}

TEST_F(FormFixture, ChecksSelectionOnlyExactlyWhenTheViewHasASelection)
{
    view.document = "hello";
    form->AttachToView(view.handle());
    EXPECT_FALSE(face->selectionOnlyChecked);
    view.select(1, 3);
    form->AttachToView(view.handle());
    EXPECT_TRUE(face->selectionOnlyChecked);
    EXPECT_EQ(view.messages.back(), (TestView::Message{MSG_GET_SEL_TYPE, 0}));
}

TEST_F(FormFixture, CreatesTheScriptsFolderAndListsEveryRubyEntry)
{
    const QString folder = home.path() + "/Documents/Korvex";
    form->AttachToView(view.handle());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(form->scriptsFolder(), folder.toStdString());
    EXPECT_TRUE(face->names.empty());

    writeScript("a.rb", "puts 1\n");
    writeScript("b.txt", "no");
    writeScript(".hidden.rb", "");
    QDir(folder).mkdir("lib.rb");
    face->chosen = "a.rb";
    form->SpeedButton3Click();
    std::vector<std::string> listed = face->names;
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{".hidden.rb", "a.rb", "lib.rb"}));
    EXPECT_FALSE(face->chosen) << "nothing is chosen after listing";
}

TEST_F(FormFixture, LoadsAChosenScriptWithItsLineBreaksMadeCrLf)
{
    static const char bytes[] = "puts '\xe6\x97\xa5\xff'\rputs 2\n\rputs 3\x00tail";
    writeScript("mixed.rb", QByteArray(bytes, sizeof bytes - 1));
    form->AttachToView(view.handle());
    choose("mixed.rb");
    EXPECT_EQ(face->script, "puts '\xe6\x97\xa5\xff'\r\nputs 2\r\nputs 3");
    choose("mixed.rb");
    EXPECT_EQ(face->scriptSetCount, 1) << "the same text leaves the editor untouched";
}

TEST_F(FormFixture, IgnoresAChosenFolderOrVanishedFile)
{
    writeScript("gone.rb", "puts 1");
    QDir(home.path() + "/Documents/Korvex").mkdir("lib.rb");
    form->AttachToView(view.handle());
    face->script = "kept";
    choose("lib.rb");
    QFile::remove(home.path() + "/Documents/Korvex/gone.rb");
    choose("gone.rb");
    EXPECT_EQ(face->script, "kept");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FormFixture, ReportsAScriptThatCannotBeOpened)
{
    writeScript("locked.rb", "puts 1");
    const QString path = home.path() + "/Documents/Korvex/locked.rb";
    QFile::setPermissions(path, QFile::Permissions());
    QFile::setPermissions(home.path(), QFile::Permissions(0x7755));
    form->AttachToView(view.handle());
    face->script = "kept";
    // Root reads anything: act as nobody while choosing.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    choose("locked.rb");
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "ファイル " + path.toStdString() + " は開けません.");
    EXPECT_EQ(boxes[0].caption, "windowtests");
    EXPECT_EQ(boxes[0].style, platform::MessageBoxStyle::OkError);
    EXPECT_EQ(face->script, "kept");
}

TEST_F(FormFixture, EscapeCancelAndTheCloseButtonOnlyHideTheWindow)
{
    form->AttachToView(view.handle());
    face->shown = true;
    EXPECT_FALSE(form->FormKeyDown('A'));
    EXPECT_TRUE(face->shown);
    EXPECT_TRUE(form->FormKeyDown(TfrmKorvex::VkEscape));
    EXPECT_FALSE(face->shown);
    face->shown = true;
    form->SpeedButton2Click();
    EXPECT_FALSE(face->shown);
    face->shown = true;
    form->FormClose();
    EXPECT_FALSE(face->shown);
}

TEST_F(FormFixture, ShowsModallyOnceAndKeepsTheScriptAndRenewsTheListOnEveryShowing)
{
    writeScript("a.rb", "puts 'a'");
    form->AttachToView(view.handle());
    choose("a.rb");
    face->duringModal = [this] {
        EXPECT_THROW(form->showModal(), std::runtime_error) << "shown already";
        form->SpeedButton2Click();
    };
    form->showModal();
    EXPECT_FALSE(face->shown);
    writeScript("b.rb", "");
    form->AttachToView(view.handle());
    EXPECT_EQ(face->script, "puts 'a'");
    EXPECT_EQ(face->names.size(), 2u);
    EXPECT_FALSE(face->chosen);
}
