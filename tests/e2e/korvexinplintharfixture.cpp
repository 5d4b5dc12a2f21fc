#include "korvexinplintharfixture.h"

#include "host/qt/editorview.h"
#include "platform/qt/messageboxhook.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

QDialog *korvexWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "frmKorvex" && w->isVisible())
            return qobject_cast<QDialog *>(w);
    return nullptr;
}

} // namespace

void KorvexInPlintharFixture::SetUp()
{
    savedHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    savedHook = platform::setMessageBoxHook([this](platform::WindowHandle, const std::string &text,
                                                   const std::string &, platform::MessageBoxStyle) {
        boxes.push_back(text);
        if (QDialog *window = korvexWindow())
            QTimer::singleShot(0, window, &QDialog::close);
        return platform::MessageBoxResult::Ok;
    });
    frame = std::make_unique<MainFrame>();
    QString error;
    ASSERT_TRUE(frame->loadPlugin(KORVEX_LIBRARY, &error)) << error.toStdString();
    frame->show();
}

void KorvexInPlintharFixture::TearDown()
{
    frame.reset();
    platform::setMessageBoxHook(savedHook);
    qputenv("HOME", savedHome);
}

QAction *KorvexInPlintharFixture::korvexAction() const
{
    return frame->plugins().at(0).action;
}

void KorvexInPlintharFixture::setDocument(const QString &text, int start, int end)
{
    frame->view()->setText(text);
    frame->view()->selectRange(start, end);
}

QString KorvexInPlintharFixture::document() const
{
    return frame->documentText();
}

void KorvexInPlintharFixture::writeScript(const QString &name, const QByteArray &bytes) const
{
    QDir(home.path()).mkpath("Documents/Korvex");
    QFile file(home.path() + "/Documents/Korvex/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool KorvexInPlintharFixture::runFromMenu(const QString &script, const QString &pick)
{
    bool closed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        QDialog *window = korvexWindow();
        if (!window)
            return;
        poll.stop();
        if (pick.isEmpty()) {
            window->findChild<QPlainTextEdit *>("Memo1")->setPlainText(script);
        } else {
            auto *list = window->findChild<QComboBox *>("cboScripts");
            const int index = list->findText(pick);
            list->setCurrentIndex(index);
            emit list->activated(index);
        }
        window->findChild<QAbstractButton *>("SpeedButton1")->click();
        closed = !window->isVisible();
        if (!closed)
            window->close();
    });
    poll.start(5);
    korvexAction()->trigger();
    return closed;
}
