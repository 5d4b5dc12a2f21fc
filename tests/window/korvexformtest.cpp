#include "windowfixture.h"

#include "platform/qt/windowregistry.h"
#include "plinthar/plintharplugin.h"
#include "window/qt/scripteditor.h"
#include "window/scripttext.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTest>
#include <unistd.h>

namespace {

QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

TEST_F(WindowFixture, CentresOnTheViewAndNeverGoesNegative)
{
    const QSize size = form->frameGeometry().size();
    struct Case
    {
        QRect view;
        QPoint expected;
    };
    const Case cases[] = {
        // Centre (300, 250) of a 400 x 300 view at (100, 100), exclusive right and bottom.
        {QRect(100, 100, 400, 300), QPoint(300 - size.width() / 2, 250 - size.height() / 2)},
        {QRect(0, 0, 40, 30), QPoint(0, 0)},
        {QRect(-500, 600, 100, 100), QPoint(0, 650 - size.height() / 2)},
        {QRect(601, -50, 3, 3), QPoint(602 - size.width() / 2, 0)},
    };
    for (const Case &c : cases) {
        platform::setWindowRect(view.handle(), c.view);
        form->AttachToView(view.handle());
        EXPECT_EQ(form->frameGeometry().topLeft(), c.expected);
    }
}

TEST_F(WindowFixture, ChecksSelectionOnlyExactlyWhenTheViewHasASelection)
{
    view.document = "hello";
    form->AttachToView(view.handle());
    EXPECT_FALSE(control<QCheckBox>("chkSelectArea")->isChecked());
    view.select(1, 3);
    form->AttachToView(view.handle());
    EXPECT_TRUE(control<QCheckBox>("chkSelectArea")->isChecked());
    EXPECT_EQ(view.messages.back(), (TestView::Message{MSG_GET_SEL_TYPE, 0}));
}

TEST_F(WindowFixture, CreatesTheScriptsFolderAndListsEveryRubyEntry)
{
    const QString folder = home.path() + "/Documents/Korvex";
    form->AttachToView(view.handle());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(form->scriptsFolder(), folder.toStdString());
    EXPECT_EQ(scripts()->count(), 0);

    writeScript("a.rb", "puts 1\n");
    writeScript("b.txt", "no");
    writeScript(".hidden.rb", "");
    QDir(folder).mkdir("lib.rb");
    control<QAbstractButton>("SpeedButton3")->click();
    QStringList listed = items(scripts());
    listed.sort();
    EXPECT_EQ(listed, (QStringList{".hidden.rb", "a.rb", "lib.rb"}));
    EXPECT_EQ(scripts()->currentIndex(), -1) << "nothing is chosen after listing";
}

TEST_F(WindowFixture, LoadsAChosenScriptWithItsBytesIntact)
{
    static const char bytes[] = "puts '\xe6\x97\xa5\xff'\rputs 2\n\rputs 3\x00tail";
    writeScript("mixed.rb", QByteArray(bytes, sizeof bytes - 1));
    form->AttachToView(view.handle());
    choose("mixed.rb");
    EXPECT_EQ(ScriptEditor::bytes(*memo()), "puts '\xe6\x97\xa5\xff'\r\nputs 2\r\nputs 3");
}

TEST_F(WindowFixture, IgnoresAChosenFolderOrVanishedFile)
{
    writeScript("gone.rb", "puts 1");
    QDir(home.path() + "/Documents/Korvex").mkdir("lib.rb");
    form->AttachToView(view.handle());
    memo()->setPlainText("kept");
    choose("lib.rb");
    QFile::remove(home.path() + "/Documents/Korvex/gone.rb");
    choose("gone.rb");
    EXPECT_EQ(memo()->toPlainText(), "kept");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WindowFixture, ReportsAScriptThatCannotBeOpened)
{
    writeScript("locked.rb", "puts 1");
    const QString path = home.path() + "/Documents/Korvex/locked.rb";
    QFile::setPermissions(path, QFile::Permissions());
    QFile::setPermissions(home.path(), QFile::Permissions(0x7755));
    form->AttachToView(view.handle());
    memo()->setPlainText("kept");
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
    EXPECT_EQ(memo()->toPlainText(), "kept");
}

TEST_F(WindowFixture, EscapeClosesFromTheEditorAndTabInsertsATab)
{
    form->AttachToView(view.handle());
    form->show();
    memo()->setFocus();
    QTest::keyClicks(memo(), "a");
    QTest::keyClick(memo(), Qt::Key_Tab);
    EXPECT_EQ(memo()->toPlainText(), "a\t");
    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(memo(), Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(WindowFixture, CancelAndTheCloseButtonOnlyHideTheWindow)
{
    form->AttachToView(view.handle());
    form->show();
    control<QAbstractButton>("SpeedButton2")->click();
    EXPECT_FALSE(form->isVisible());
    form->show();
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_NE(form->findChild<QPlainTextEdit *>("Memo1"), nullptr);
}

TEST_F(WindowFixture, KeepsTheScriptAndRenewsTheListOnEveryShowing)
{
    writeScript("a.rb", "puts 'a'");
    form->AttachToView(view.handle());
    choose("a.rb");
    form->show();
    form->close();
    writeScript("b.rb", "");
    form->AttachToView(view.handle());
    EXPECT_EQ(memo()->toPlainText(), "puts 'a'");
    EXPECT_EQ(scripts()->count(), 2);
    EXPECT_EQ(scripts()->currentIndex(), -1);
}

TEST_F(WindowFixture, ButtonsNeverTakeTheFocus)
{
    for (const char *name : {"SpeedButton1", "SpeedButton2", "SpeedButton3"})
        EXPECT_EQ(control<QAbstractButton>(name)->focusPolicy(), Qt::NoFocus) << name;
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(WindowFixture, EveryShowingIsCentredAndOpensInTheEditor)
{
    // The first showing was placed before the window knew its size, off centre.
    platform::setWindowRect(view.handle(), QRect(100, 100, 400, 300));
    std::vector<QPoint> places;
    for (int showing = 0; showing < 2; ++showing) {
        form->AttachToView(view.handle());
        form->show();
        const QSize size = form->frameGeometry().size();
        places.push_back(form->frameGeometry().topLeft());
        EXPECT_EQ(places.back(), QPoint(300 - size.width() / 2, 250 - size.height() / 2))
            << "showing " << showing;
        EXPECT_EQ(form->focusWidget(), memo()) << "showing " << showing;
        control<QCheckBox>("chkSelectArea")->setFocus();
        form->close();
    }
}

TEST_F(WindowFixture, HasBandsOfTheirHeightAndKeepsEveryControlWholeAtTheSmallestSize)
{
    form->AttachToView(view.handle());
    form->show();
    EXPECT_EQ(control<QWidget>("CoolBar1")->height(), 46);
    EXPECT_EQ(control<QWidget>("ToolBar1")->height(), 22);
    EXPECT_EQ(control<QWidget>("CoolBar1Band2")->height(), 22);
    scripts()->addItem("a.rb");
    EXPECT_EQ(scripts()->view()->sizeHintForRow(0), scripts()->fontMetrics().height())
        << "list items one line of the font high";

    form->resize(1, 1);
    QApplication::processEvents();
    EXPECT_EQ(form->size(), form->minimumSize());
    for (QWidget *child : form->findChildren<QWidget *>()) {
        if (!child->isVisibleTo(form.get()) || child->isWindow() || !child->parentWidget())
            continue;
        EXPECT_TRUE(child->parentWidget()->rect().contains(child->geometry()))
            << child->objectName().toStdString();
        EXPECT_GE(child->height(), std::min(child->minimumSizeHint().height(), 20))
            << child->objectName().toStdString();
    }
    EXPECT_GT(memo()->height(), 0);
}
