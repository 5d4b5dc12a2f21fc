#include "platform/messagebox.h"
#include "platform/qt/messageboxhook.h"
#include "platform/qt/windowregistry.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(MessageBox, LetsAnInstalledHookAnswerAndRestoresThePreviousOne)
{
    const WindowHandle owner = createWindow("Owner", nullptr, {});
    std::string seen;
    MessageBoxHook first = [&](WindowHandle who, const std::string &text,
                               const std::string &caption, MessageBoxStyle style) {
        seen = text + "|" + caption + "|" + (who == owner ? "owner" : "?") +
               (style == MessageBoxStyle::YesNoQuestion ? "|yesno" : "|ok");
        return style == MessageBoxStyle::YesNoQuestion ? MessageBoxResult::Yes
                                                       : MessageBoxResult::Ok;
    };
    const MessageBoxHook before = setMessageBoxHook(first);
    EXPECT_EQ(messageBox(owner, "Sure?", "UnInstall", MessageBoxStyle::YesNoQuestion),
              MessageBoxResult::Yes);
    EXPECT_EQ(seen, "Sure?|UnInstall|owner|yesno");
    EXPECT_EQ(messageBox(owner, "Broken.", "Plinthar", MessageBoxStyle::OkError),
              MessageBoxResult::Ok);
    EXPECT_EQ(seen, "Broken.|Plinthar|owner|ok");

    const MessageBoxHook replaced = setMessageBoxHook([](auto...) { return MessageBoxResult::No; });
    EXPECT_EQ(messageBox(owner, "x", "y", MessageBoxStyle::YesNoQuestion), MessageBoxResult::No);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced(owner, "a", "b", MessageBoxStyle::OkError), MessageBoxResult::Ok);
    setMessageBoxHook(before);
    destroyWindow(owner);
}

} // namespace
