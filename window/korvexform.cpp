#include "window/korvexform.h"

#include "window/exceptionbox.h"
#include "window/scriptrun.h"
#include "window/scripttext.h"
#include "window/toolkittexts.h"

#include "hostmessages/hostmessages.h"
#include "platform/modalshowing.h"
#include "platform/uipulse.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <utility>

namespace {

constexpr char StoppedNote[] = "スクリプトを停止しました";

/// What the running bar says of a run @p seconds old that wrote @p lines lines so far.
std::string runningText(double seconds, std::size_t lines)
{
    // Not printf: the decimal point must not follow the user's locale.
    char number[32];
    const auto [end, error] =
        std::to_chars(number, number + sizeof number, seconds, std::chars_format::fixed, 1);
    return "実行中 " + std::string(number, error == std::errc() ? end : number) + " 秒　出力 " +
           std::to_string(lines) + " 行";
}

} // namespace

TfrmKorvex::Position TfrmKorvex::placeOver(const platform::Rect &view, int width, int height)
{
    // Integer division truncating toward zero, as the centre and the half sizes are computed.
    const int x = (view.left + view.right) / 2;
    const int y = (view.top + view.bottom) / 2;
    return Position{std::max(0, x - width / 2), std::max(0, y - height / 2)};
}

TfrmKorvex::TfrmKorvex(const ViewFactory &makeView) : m_view(makeView(*this)) {}

TfrmKorvex::~TfrmKorvex() = default;

platform::WindowHandle TfrmKorvex::handle() const
{
    return m_view->handle();
}

bool TfrmKorvex::isShown() const
{
    return m_view->isShown();
}

template <typename Handler> void TfrmKorvex::guarded(Handler &&handler)
{
    // The toolkit's rule: a failing handler is reported in a box and the window stays open.
    ExceptionBox::guarded(handle(), std::forward<Handler>(handler));
}

void TfrmKorvex::AttachToView(platform::WindowHandle view)
{
    m_viewWindow = view;
    m_view->showRunState(FormView::RunState::Idle, {}); // an earlier command's stop is old news
    place();
    m_view->setSelectionOnly(plugin::getSelType(view) != 0);
    m_scriptsFolder.prepare();
    ListScripts();
}

void TfrmKorvex::place()
{
    const platform::Rect frame = m_view->frameRect();
    const Position at =
        placeOver(platform::getWindowRect(m_viewWindow), frame.width(), frame.height());
    m_view->moveTo(at.left, at.top);
}

void TfrmKorvex::FormShow()
{
    if (m_viewWindow)
        place();
}

void TfrmKorvex::ListScripts()
{
    m_view->setScriptNames(m_scriptsFolder.list());
}

void TfrmKorvex::showModal()
{
    if (isShown())
        throw std::runtime_error(ToolkitTexts::alreadyVisible());
    // The host's release may destroy the window from inside the showing: from here on only
    // what is on this stack is used, and the window only while it exists.
    const platform::WindowHandle self = handle();
    FormView *const view = m_view.get();
    {
        const platform::ModalShowing others(self);
        view->runModal();
    }
    if (platform::isWindow(self))
        view->endModal();
}

void TfrmKorvex::endShowing()
{
    if (ScriptRun::isRunning()) {
        // The window cannot go while its run is on the stack: the run ends first.
        m_endAfterRun = true;
        ScriptRun::requestStop();
        return;
    }
    m_view->endModal();
}

void TfrmKorvex::SpeedButton1Click()
{
    if (ScriptRun::isRunning())
        return; // one run at a time
    m_endAfterRun = false;
    // A message box of a failure lets the thread's events in, the host's release among them.
    const std::weak_ptr<TfrmKorvex *> alive = m_alive;
    guarded([this] { runScript(); });
    if (alive.expired())
        return;
    if (std::exchange(m_runShown, false))
        m_view->showRunState(FormView::RunState::Idle, {}); // the plug-in's own failure ended it
    if (std::exchange(m_endAfterRun, false))
        m_view->endModal();
}

void TfrmKorvex::runScript()
{
    m_view->showRunState(FormView::RunState::Idle, {}); // the last run's "stopped" goes
    const ScriptRun::Outcome outcome = ScriptRun::run(
        m_viewWindow, m_view->scriptLines(m_scriptCoding), m_scriptsFolder.scriptFileName(),
        m_scriptsFolder.scriptSource(), m_view->selectionOnly(), this);
    m_runShown = false;
    if (outcome == ScriptRun::Outcome::Stopped) {
        // The window stays with its script; the document is as it was.
        m_view->showRunState(FormView::RunState::Stopped, StoppedNote);
        return;
    }
    m_view->endModal();
}

void TfrmKorvex::showRunning(double seconds, std::size_t lines)
{
    m_runShown = true;
    m_view->showRunState(FormView::RunState::Running, runningText(seconds, lines));
    platform::UiPulse::serviceEvents(handle());
}

void TfrmKorvex::SpeedButton2Click()
{
    if (ScriptRun::isRunning())
        ScriptRun::requestStop();
    else
        m_view->endModal();
}

void TfrmKorvex::FormClose()
{
    SpeedButton2Click();
}

bool TfrmKorvex::FormKeyDown(int key)
{
    if (key != VkEscape)
        return false;
    SpeedButton2Click();
    return true;
}

void TfrmKorvex::btnStopClick()
{
    ScriptRun::requestStop();
}

void TfrmKorvex::SpeedButton3Click()
{
    guarded([this] { ListScripts(); });
}

void TfrmKorvex::cboScriptsChange()
{
    guarded([this] { loadChosenScript(); });
}

void TfrmKorvex::loadChosenScript()
{
    const std::optional<std::string> name = m_view->chosenScriptName();
    if (!name)
        return;
    const std::optional<std::string> bytes = m_scriptsFolder.load(*name);
    if (!bytes)
        return; // a folder or a vanished file: nothing to load
    // Shown in the coding the script is in, so that it reads right and what is typed into it
    // joins it in that coding.
    const platform::TextCoding coding = ScriptText::fileCoding(*bytes);
    const std::string text = ScriptText::normalizeLineBreaks(*bytes);
    if (coding == m_scriptCoding && text == m_view->scriptText(m_scriptCoding))
        return;
    m_view->setScriptText(text, coding);
    m_scriptCoding = coding;
}
