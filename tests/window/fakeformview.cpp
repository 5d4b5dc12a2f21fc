#include "fakeformview.h"

#include "platform/qt/windowregistry.h"

FakeFormView::FakeFormView(platform::Rect frame) : frame(frame)
{
    m_handle =
        platform::createWindow("TfrmKorvex", nullptr,
                               [](platform::WindowHandle, platform::MessageId, platform::WParam,
                                  platform::LParam) { return platform::LResult(0); });
}

FakeFormView::~FakeFormView()
{
    platform::destroyWindow(m_handle);
}

void FakeFormView::moveTo(int left, int top)
{
    frame = {left, top, left + frame.width(), top + frame.height()};
}

void FakeFormView::runModal()
{
    shown = true;
    if (duringModal)
        duringModal();
}

void FakeFormView::setScriptNames(const std::vector<std::string> &listed)
{
    names = listed;
    chosen.reset();
}

LineList FakeFormView::scriptLines() const
{
    LineList lines;
    lines.setText(script);
    return lines;
}

void FakeFormView::setScriptText(const std::string &text)
{
    script = text;
    ++scriptSetCount;
}

void FakeFormView::showRunState(RunState state, const std::string &text)
{
    runState = state;
    runText = text;
}
