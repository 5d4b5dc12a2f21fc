#pragma once

#include "fakeformview.h"
#include "testview.h"

#include "platform/messagebox.h"
#include "platform/qt/messageboxhook.h"
#include "window/korvexform.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

/// The script window's core with a fake face over a test view, a private home folder and a
/// recording box hook.
class FormFixture : public ::testing::Test
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

    /// Writes @p bytes to Documents/Korvex/@p name.
    void writeScript(const QString &name, const QByteArray &bytes) const;
    /// Picks @p name in the scripts list as a user does.
    void choose(const std::string &name);
    /// Puts @p script into the editor, shows the window and presses Run.
    void run(const std::string &script);

    QTemporaryDir home;
    QByteArray savedHome;
    QByteArray savedConfig;
    platform::MessageBoxHook savedHook;
    std::vector<Box> boxes;
    TestView view;
    FakeFormView *face = nullptr; // owned by form
    std::unique_ptr<TfrmKorvex> form;
};
