#pragma once

#include "testview.h"

#include "platform/messagebox.h"
#include "platform/qt/messageboxhook.h"
#include "window/qt/korvexform.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

/// A Korvex window over a test view, with a private home folder and a recording box hook.
class WindowFixture : public ::testing::Test
{
protected:
    struct Box
    {
        std::string text;
        std::string caption;
        platform::MessageBoxStyle style;
    };

    void SetUp() override;
    void TearDown() override;

    QComboBox *scripts() const;
    QPlainTextEdit *memo() const;
    template <typename T> T *control(const char *name) const
    {
        return form->findChild<T *>(QString::fromLatin1(name));
    }
    /// Writes @p bytes to Documents/Korvex/@p name.
    void writeScript(const QString &name, const QByteArray &bytes) const;
    /// Picks @p name in the scripts list as a user does.
    void choose(const QString &name) const;
    /// Types @p script into the editor and presses Run.
    void run(const QString &script);

    QTemporaryDir home;
    QByteArray savedHome;
    QByteArray savedConfig;
    platform::MessageBoxHook savedHook;
    std::vector<Box> boxes;
    TestView view;
    std::unique_ptr<TfrmKorvex> form;
};
