#include "platform/qt/windowregistry.h"
#include "platform/windowhandle.h"

#include <QWidget>
#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

using namespace platform;

namespace {

LResult answer42(WindowHandle, MessageId, WParam, LParam)
{
    return 42;
}

TEST(WindowHandle, WalksParentsUpToTheTopLevelWindow)
{
    const WindowHandle frame = createWindow("Frame", nullptr, answer42);
    const WindowHandle child = createWindow("Child", frame, answer42);
    const WindowHandle view = createWindow("View", child, answer42);
    EXPECT_EQ(getParent(view), child);
    EXPECT_EQ(getParent(child), frame);
    EXPECT_EQ(getParent(frame), nullptr);

    destroyWindow(child);
    EXPECT_FALSE(isWindow(child));
    EXPECT_EQ(getParent(view), nullptr) << "no dangling parent";
    EXPECT_EQ(getParent(child), nullptr);
    destroyWindow(view);
    destroyWindow(frame);
    destroyWindow(frame); // twice is harmless
}

TEST(WindowHandle, CopiesTheClassNameWithinTheBufferSize)
{
    const WindowHandle window = createWindow("PlintharMainFrame3", nullptr, answer42);
    struct Case
    {
        int maxCount;
        int copied;
        std::string text;
    };
    const Case cases[] = {{0, 0, "########"},
                          {1, 0, ""},
                          {2, 1, "P"},
                          {8, 7, "Plintha"},
                          {18, 17, "PlintharMainFrame"},
                          {19, 18, "PlintharMainFrame3"},
                          {32, 18, "PlintharMainFrame3"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.maxCount);
        std::array<char, 40> buffer;
        buffer.fill('#');
        buffer.back() = '\0';
        EXPECT_EQ(getClassName(window, buffer.data(), c.maxCount), c.copied);
        if (c.maxCount == 0)
            EXPECT_EQ(std::string(buffer.data(), 8), c.text);
        else
            EXPECT_EQ(std::string(buffer.data()), c.text);
        EXPECT_EQ(buffer[std::size_t(std::max(c.maxCount, 1))], '#') << "nothing past the end";
    }
    destroyWindow(window);
    std::array<char, 8> buffer{'x'};
    EXPECT_EQ(getClassName(window, buffer.data(), int(buffer.size())), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(WindowHandle, SendsSynchronouslyAndAnswersTheProceduresResult)
{
    std::vector<std::tuple<MessageId, WParam, LParam>> seen;
    const WindowHandle window =
        createWindow("Recorder", nullptr, [&](WindowHandle self, MessageId m, WParam w, LParam l) {
            seen.emplace_back(m, w, l);
            return self != nullptr ? LResult(w) + l : -1;
        });
    EXPECT_EQ(sendMessage(window, 2051, 5, -2), 3);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::make_tuple(MessageId(2051), WParam(5), LParam(-2)));
    destroyWindow(window);
    EXPECT_EQ(sendMessage(window, 2051, 5, -2), 0) << "an invalid handle answers 0";
    EXPECT_EQ(seen.size(), 1u);
}

TEST(WindowHandle, LetsAProcedureDestroyItsOwnWindow)
{
    WindowHandle window = nullptr;
    std::string owned = "captured state";
    window = createWindow("SelfDestruct", nullptr,
                          [owned](WindowHandle self, MessageId, WParam, LParam) {
                              destroyWindow(self);
                              return LResult(owned.size());
                          });
    EXPECT_EQ(sendMessage(window, 1, 0, 0), LResult(owned.size()));
    EXPECT_FALSE(isWindow(window));
}

TEST(WindowHandle, MapsWidgetsAndRectangles)
{
    QWidget top;
    top.setGeometry(100, 120, 300, 200);
    auto owner = std::make_unique<QWidget>(&top);
    QWidget *inner = owner.get();
    inner->setGeometry(10, 20, 50, 40);
    top.show();
    const WindowHandle frame = createWindow("Frame", nullptr, answer42, &top);
    const WindowHandle view = createWindow("View", frame, answer42, inner);
    const WindowHandle bare = createWindow("Bare", nullptr, answer42);
    EXPECT_EQ(widgetOf(view), inner);
    EXPECT_EQ(handleOf(inner), view);
    EXPECT_EQ(handleOf(&top), frame);
    EXPECT_EQ(toQRect(getWindowRect(view)), QRect(inner->mapToGlobal(QPoint(0, 0)), QSize(50, 40)));
    setWindowRect(bare, QRect(1, 2, 3, 4));
    EXPECT_EQ(getWindowRect(bare), (Rect{1, 2, 4, 6}));

    owner.reset(); // the handle outlives its widget without dangling
    EXPECT_EQ(widgetOf(view), nullptr);
    for (const WindowHandle w : {view, frame, bare})
        destroyWindow(w);
    EXPECT_EQ(handleOf(&top), nullptr);
}

} // namespace
