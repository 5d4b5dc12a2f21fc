// The script window's Qt face: its controls as designed, and what the user does with them
// reaching the core.

#include "formfixture.h"

#include "platform/qt/windowregistry.h"
#include "window/scripttext.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

namespace {

constexpr platform::TextCoding Utf8 = platform::TextCoding::Utf8;

class QtForm : public FormFixture
{
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        form = TfrmKorvex::create(nullptr);
        face = nullptr;
        dialog = qobject_cast<QDialog *>(platform::widgetOf(form->handle()));
        ASSERT_NE(dialog, nullptr);
    }

    template <typename T> T *control(const char *name) const
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }
    QPlainTextEdit *memo() const { return control<QPlainTextEdit>("Memo1"); }
    QComboBox *scripts() const { return control<QComboBox>("cboScripts"); }

    QDialog *dialog = nullptr;
};

} // namespace

TEST_F(QtForm, HasItsControlsWholeAtTheSmallestSizeAndBandsOfTheirHeight)
{
    EXPECT_EQ(dialog->objectName(), "frmKorvex");
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    for (const char *name : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "btnStop"})
        EXPECT_EQ(control<QAbstractButton>(name)->focusPolicy(), Qt::NoFocus) << name;
    form->AttachToView(view.handle());
    dialog->show();
    EXPECT_FALSE(control<QWidget>("RunBar1")->isVisible()) << "no bar without a run";
    EXPECT_EQ(control<QWidget>("CoolBar1")->height(), 46);
    EXPECT_EQ(control<QWidget>("ToolBar1")->height(), 22);
    EXPECT_EQ(control<QWidget>("CoolBar1Band2")->height(), 22);
    scripts()->addItem("a.rb");
    EXPECT_EQ(scripts()->view()->sizeHintForRow(0), scripts()->fontMetrics().height())
        << "list items one line of the font high";

    dialog->resize(1, 1);
    QApplication::processEvents();
    EXPECT_EQ(dialog->size(), dialog->minimumSize());
    for (QWidget *child : dialog->findChildren<QWidget *>()) {
        if (!child->isVisibleTo(dialog) || child->isWindow() || !child->parentWidget())
            continue;
        EXPECT_TRUE(child->parentWidget()->rect().contains(child->geometry()))
            << child->objectName().toStdString();
        EXPECT_GE(child->height(), std::min(child->minimumSizeHint().height(), 20))
            << child->objectName().toStdString();
    }
    EXPECT_GT(memo()->height(), 0);
}

TEST_F(QtForm, EveryShowingIsCentredAndOpensInTheEditor)
{
    platform::setWindowRect(view.handle(), QRect(100, 100, 400, 300));
    for (int showing = 0; showing < 2; ++showing) {
        form->AttachToView(view.handle());
        dialog->show();
        const QSize size = dialog->frameGeometry().size();
        EXPECT_EQ(dialog->frameGeometry().topLeft(),
                  QPoint(300 - size.width() / 2, 250 - size.height() / 2))
            << "showing " << showing;
        EXPECT_EQ(dialog->focusWidget(), memo()) << "showing " << showing;
        control<QCheckBox>("chkSelectArea")->setFocus();
        dialog->close();
    }
}

TEST_F(QtForm, ForwardsClicksKeysAndClosingToTheForm)
{
    static const char bytes[] = "puts '\xe6\x97\xa5\xff'\rputs 2\n";
    writeScript("mixed.rb", QByteArray(bytes, sizeof bytes - 1));
    form->AttachToView(view.handle());
    dialog->show();
    ASSERT_EQ(scripts()->count(), 1);
    scripts()->setCurrentIndex(0);
    emit scripts()->activated(0);
    EXPECT_EQ(form->view().scriptText(Utf8), "puts '\xe6\x97\xa5\xff'\r\nputs 2\r\n")
        << "the script's bytes survive the editor";
    writeScript("b.rb", "");
    control<QAbstractButton>("SpeedButton3")->click();
    EXPECT_EQ(scripts()->count(), 2);

    memo()->setPlainText("a");
    memo()->moveCursor(QTextCursor::End);
    QTest::keyClick(memo(), Qt::Key_Tab);
    EXPECT_EQ(memo()->toPlainText(), "a\t") << "Tab is typed into the editor";
    QTest::keyClick(memo(), Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_FALSE(dialog->isVisible()) << "Escape";
    dialog->show();
    control<QAbstractButton>("SpeedButton2")->click();
    EXPECT_FALSE(dialog->isVisible()) << "Cancel";
    dialog->show();
    dialog->close();
    EXPECT_FALSE(dialog->isVisible()) << "the close button";
}

TEST_F(QtForm, ShowsTheRunningScriptAndStopsItFromTheBar)
{
    view.document = "keep";
    form->AttachToView(view.handle());
    memo()->setPlainText("loop {}");
    dialog->show();
    QString shown;
    bool runControlsEnabled = true;
    QTimer user;
    user.setInterval(20);
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *stop = control<QAbstractButton>("btnStop");
        if (!shown.isEmpty() || !stop->isVisible())
            return;
        shown = control<QLabel>("lblRunning")->text();
        runControlsEnabled = control<QWidget>("SpeedButton1")->isEnabled() ||
                             control<QWidget>("cboScripts")->isEnabled() || !memo()->isReadOnly();
        stop->click();
    });
    user.start();
    control<QAbstractButton>("SpeedButton1")->click();
    EXPECT_TRUE(shown.startsWith("実行中 ")) << shown.toStdString();
    EXPECT_FALSE(runControlsEnabled);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(control<QLabel>("lblRunning")->text(), "スクリプトを停止しました");
    EXPECT_FALSE(control<QWidget>("btnStop")->isVisible());
    EXPECT_TRUE(control<QWidget>("SpeedButton1")->isEnabled());
    EXPECT_EQ(view.document, "keep");
}

TEST_F(QtForm, TheEditorGivesBackEveryByteAndItsHardLinesWhole)
{
    FormView &editor = form->view();
    EXPECT_TRUE(editor.scriptLines(Utf8).isEmpty());
    editor.setScriptText(
        ScriptText::normalizeLineBreaks("puts \"\xe6\x97\xa5\xff\"\rx = 1\n\ry\xc2\xa0z\n"), Utf8);
    EXPECT_EQ(editor.scriptText(Utf8), "puts \"\xe6\x97\xa5\xff\"\r\nx = 1\r\ny\xc2\xa0z\r\n");
    EXPECT_EQ(editor.scriptLines(Utf8),
              (LineList{"puts \"\xe6\x97\xa5\xff\"", "x = 1", "y\xc2\xa0z"}))
        << "no final empty line; a no-break space stays one";
    memo()->setPlainText("\n");
    EXPECT_EQ(editor.scriptLines(Utf8), (LineList{""}));
    const std::string line = "x = '" + std::string(10000, 'y') + "'";
    memo()->setPlainText(QString::fromStdString(line));
    EXPECT_EQ(editor.scriptLines(Utf8), (LineList{line})) << "long lines whole";
}
