#include "korvexinplintharfixture.h"

#include "host/qt/editorview.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

const QString Capitals = "ARGV.each { |l| print l.upcase, \"\\n\" }";

} // namespace

TEST_F(KorvexInPlintharFixture, ShowsKorvexInTheMenuAndTheToolbar)
{
    EXPECT_EQ(korvexAction()->text(), "Run Ruby Script");
    EXPECT_EQ(korvexAction()->statusTip(), "Run Ruby Script");
    EXPECT_TRUE(korvexAction()->isEnabled());
    EXPECT_TRUE(frame->findChild<QToolBar *>()->actions().contains(korvexAction()));
    const QImage icon = korvexAction()->icon().pixmap(16, 16).toImage();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(qAlpha(icon.pixel(15, 0)), 0) << "the magenta corner is transparent";
    EXPECT_EQ(qAlpha(icon.pixel(8, 8)), 255);
}

TEST_F(KorvexInPlintharFixture, RunOverTheSelectionReplacesItAsOneUndoStep)
{
    setDocument("keep\nab\ncd\nkeep", 5, 10); // "ab\ncd"
    EXPECT_TRUE(runFromMenu(Capitals));
    EXPECT_EQ(document(), "keep\nAB\nCD\n\nkeep");
    frame->view()->undo();
    EXPECT_EQ(document(), "keep\nab\ncd\nkeep");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(KorvexInPlintharFixture, RunOverTheWholeDocumentReplacesEverything)
{
    setDocument("été\ncafé\n日本");
    EXPECT_TRUE(runFromMenu("puts ARGV.reverse.map(&:upcase)"));
    EXPECT_EQ(document(), "日本\nCAFÉ\nÉTÉ\n");
    frame->view()->undo();
    EXPECT_EQ(document(), "été\ncafé\n日本");
}

TEST_F(KorvexInPlintharFixture, RunsAScriptPickedFromTheScriptsFolder)
{
    writeScript("number.rb", "ARGV.each_with_index { |l, i| puts \"#{i + 1}: #{l}\" }\r\n");
    setDocument("a\nb");
    EXPECT_TRUE(runFromMenu({}, "number.rb"));
    EXPECT_EQ(document(), "1: a\n2: b\n");
}

TEST_F(KorvexInPlintharFixture, ScriptErrorsBecomeTextAndTheNextRunWorks)
{
    setDocument("x");
    EXPECT_TRUE(runFromMenu("print 'partial'\nraise ArgumentError, 'bad input'"));
    EXPECT_EQ(document(), "partialbad input\n");
    setDocument("y");
    EXPECT_TRUE(runFromMenu(Capitals));
    EXPECT_EQ(document(), "Y\n");
}

TEST_F(KorvexInPlintharFixture, TheInterpreterKeepsItsStateBetweenCommands)
{
    setDocument("");
    EXPECT_TRUE(runFromMenu("$count = ($count || 0) + 1"));
    EXPECT_TRUE(runFromMenu("$count += 1\nputs $count"));
    EXPECT_EQ(document(), "2\n");
}
