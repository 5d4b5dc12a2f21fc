#pragma once

#include "platform/messagebox.h"
#include "platform/qt/messageboxhook.h"
#include "platform/windowhandle.h"
#include "plinthar/plintharplugin.h"

#include <QDialog>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

/// Korvex.so loaded with dlopen, a main frame with a view inside it, and a box hook.
class PluginFixture : public ::testing::Test
{
public:
    struct Sent
    {
        platform::MessageId id;
        platform::WParam wParam;
    };

protected:
    void SetUp() override;
    void TearDown() override;

    /// The visible or hidden Korvex window, or nullptr.
    static QDialog *korvexWindow();
    /// Runs @p action as soon as the Korvex window is shown (from inside the modal showing).
    static void whenShown(std::function<void(QDialog *)> action);

    QTemporaryDir home;
    QByteArray savedHome;
    void *library = nullptr;
    PlintharEntryPoints korvex;

    platform::WindowHandle frame = nullptr;
    platform::WindowHandle view = nullptr;
    std::vector<Sent> sent;
    std::vector<std::string> boxes;
    platform::MessageBoxResult boxAnswer = platform::MessageBoxResult::Ok;
    platform::MessageBoxHook savedHook;
};
