#include "formfixture.h"

#include <QDir>
#include <QFile>
#include <algorithm>

void FormFixture::SetUp()
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
    form = std::make_unique<TfrmKorvex>([this](TfrmKorvex &) {
        auto made = std::make_unique<FakeFormView>();
        face = made.get();
        return made;
    });
}

void FormFixture::TearDown()
{
    form.reset();
    platform::setMessageBoxHook(savedHook);
    qputenv("HOME", savedHome);
    if (savedConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}

void FormFixture::writeScript(const QString &name, const QByteArray &bytes) const
{
    QDir(home.path()).mkpath("Documents/Korvex");
    QFile file(home.path() + "/Documents/Korvex/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void FormFixture::choose(const std::string &name)
{
    ASSERT_NE(std::find(face->names.begin(), face->names.end(), name), face->names.end()) << name;
    face->chosen = name;
    form->cboScriptsChange();
}

void FormFixture::run(const std::string &script)
{
    face->script = script;
    face->shown = true;
    form->SpeedButton1Click();
}
