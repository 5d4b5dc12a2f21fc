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

LineList FakeFormView::scriptLines(platform::TextCoding coding) const
{
    LineList lines;
    lines.setText(scriptText(coding));
    return lines;
}

std::string FakeFormView::scriptText(platform::TextCoding coding) const
{
    // As an editor of UTF-16 text would give it back.
    return coding == scriptCoding
               ? script
               : platform::editorBytes(platform::editorText(script, scriptCoding), coding);
}

void FakeFormView::setScriptText(const std::string &text, platform::TextCoding coding)
{
    script = text;
    scriptCoding = coding;
    ++scriptSetCount;
}

void FakeFormView::showRunState(RunState state, const std::string &text)
{
    runState = state;
    runText = text;
}
