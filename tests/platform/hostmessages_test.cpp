#include "hostmessages/hostmessages.h"
#include "platform/qt/windowregistry.h"
#include "plinthar/plintharplugin.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <tuple>
#include <vector>

using namespace platform;

namespace {

using Sent = std::tuple<MessageId, WParam, LParam>;

// A view window whose answers a test scripts, recording every message it gets.
class FakeView
{
public:
    using Answer = std::function<LResult(WParam, LParam, int call)>;
    explicit FakeView(Answer answer) : m_answer(std::move(answer))
    {
        m_handle = createWindow("FakeView", nullptr,
                                [this](WindowHandle, MessageId m, WParam w, LParam l) {
                                    sent.emplace_back(m, w, l);
                                    return m_answer(w, l, int(sent.size()));
                                });
    }
    ~FakeView() { destroyWindow(m_handle); }
    WindowHandle handle() const { return m_handle; }
    std::vector<Sent> sent;

private:
    Answer m_answer;
    WindowHandle m_handle;
};

TEST(HostMessages, EachWrapperSendsExactlyItsMessageAndAnswersTheReply)
{
    FakeView view([](WParam, LParam, int call) { return LResult(100 + call); });
    char buffer[4] = {};
    const char *text = "hello";
    struct Case
    {
        std::function<LResult()> send;
        Sent expected;
    };
    const Case cases[] = {
        {[&] { return plugin::updateCommand(view.handle(), 77); }, {2050, 77, 0}},
        {[&] { return plugin::getSelText(view.handle(), 4, buffer); },
         {2051, 4, reinterpret_cast<LParam>(buffer)}},
        {[&] { return plugin::getSelText(view.handle(), 0, nullptr); }, {2051, 0, 0}},
        {[&] { return plugin::execCommand(view.handle(), CMD_SELECT_ALL); }, {2070, 4136, 0}},
        {[&] { return plugin::execCommand(view.handle(), CMD_DELETE); }, {2070, 4135, 0}},
        {[&] { return plugin::insertString(view.handle(), text); },
         {2080, 0, reinterpret_cast<LParam>(text)}},
        {[&] { return plugin::getSelType(view.handle()); }, {2093, 0, 0}},
    };
    for (const Case &c : cases) {
        const std::size_t before = view.sent.size();
        EXPECT_EQ(c.send(), LResult(100 + before + 1));
        ASSERT_EQ(view.sent.size(), before + 1);
        EXPECT_EQ(view.sent.back(), c.expected) << "call " << before + 1;
    }
}

// A host that answers @p lengths[call - 1] and copies @p text (bytes, possibly with NULs) as
// far as the size it was given allows, with no terminator unless it fits.
FakeView::Answer host(std::vector<LResult> lengths, std::string text, bool *bufferWasZeroed)
{
    return [=](WParam size, LParam buffer, int call) {
        if (buffer != 0) {
            auto *out = reinterpret_cast<char *>(buffer);
            *bufferWasZeroed = std::all_of(out, out + size + 1, [](char c) { return c == 0; });
            std::memcpy(out, text.data(), std::min<std::size_t>(size, text.size()));
        }
        return lengths.at(std::size_t(call - 1));
    };
}

TEST(HostMessages, ReadsTheSelectionThroughAZeroFilledBufferWhateverTheHostAnswers)
{
    struct Case
    {
        const char *what;
        std::vector<LResult> lengths;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"consistent", {5, 5}, "ab\r\nc", "ab\r\nc"},
        {"empty selection", {0, 0}, "", ""},
        {"no terminator written", {3, 3}, "xyz", "xyz"},
        {"NUL inside the text", {5, 5}, std::string("ab\0cd", 5), "ab"},
        {"selection grew meanwhile", {3, 9}, "abcdefghi", "abc"},
        {"selection shrank meanwhile", {8, 2}, std::string("ab\0", 3), "ab"},
        {"second answer negative", {4, -7}, "abcd", "abcd"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        bool zeroed = false;
        FakeView view(host(c.lengths, c.text, &zeroed));
        EXPECT_EQ(plugin::readSelectedText(view.handle()), c.expected);
        ASSERT_EQ(view.sent.size(), 2u);
        EXPECT_EQ(view.sent[0], Sent(MSG_GET_SEL_TEXT, 0, 0));
        EXPECT_EQ(std::get<1>(view.sent[1]), WParam(c.lengths[0]));
        EXPECT_TRUE(zeroed);
    }
}

TEST(HostMessages, RefusesANegativeOrAbsurdLengthWithoutTouchingMemory)
{
    for (const LResult length :
         {LResult(-1), LResult(-4096), LResult(INTPTR_MAX), LResult(LResult(1) << 40)}) {
        SCOPED_TRACE(length);
        bool zeroed = false;
        FakeView view(host({length, length}, "abc", &zeroed));
        try {
            plugin::readSelectedText(view.handle());
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error &e) {
            EXPECT_NE(std::string(e.what()).find(std::to_string(length)), std::string::npos)
                << e.what();
        }
        EXPECT_EQ(view.sent.size(), 1u) << "no buffer handed over";
    }
}

TEST(HostMessages, ReadsNothingFromAWindowThatIsGone)
{
    WindowHandle gone = createWindow("Gone", nullptr, {});
    destroyWindow(gone);
    EXPECT_EQ(plugin::readSelectedText(gone), "");
    EXPECT_EQ(plugin::getSelType(gone), 0);
}

} // namespace
