#include "windowfixture.h"
#include "platform/qt/messageboxhook.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>

void WindowFixture::SetUp()
{
    savedHome = qgetenv("HOME");
    savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    QDir(home.path()).mkdir("Documents");
    savedHook = platform::setMessageBoxHook([this](platform::WindowHandle, const std::string &text,
                                                   const std::string &caption,
                                                   platform::MessageBoxStyle style) {
        boxes.push_back({text, caption, style});
        return platform::MessageBoxResult::Ok;
    });
    form = std::make_unique<TfrmKorvex>();
}

void WindowFixture::TearDown()
{
    form.reset();
    platform::setMessageBoxHook(savedHook);
    qputenv("HOME", savedHome);
    if (savedConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}

QComboBox *WindowFixture::scripts() const
{
    return control<QComboBox>("cboScripts");
}

QPlainTextEdit *WindowFixture::memo() const
{
    return control<QPlainTextEdit>("Memo1");
}

void WindowFixture::writeScript(const QString &name, const QByteArray &bytes) const
{
    QDir(home.path()).mkpath("Documents/Korvex");
    QFile file(home.path() + "/Documents/Korvex/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void WindowFixture::choose(const QString &name) const
{
    const int index = scripts()->findText(name);
    ASSERT_GE(index, 0) << name.toStdString();
    scripts()->setCurrentIndex(index);
    emit scripts()->activated(index);
}

void WindowFixture::run(const QString &script)
{
    memo()->setPlainText(script);
    form->show();
    control<QAbstractButton>("SpeedButton1")->click();
}
