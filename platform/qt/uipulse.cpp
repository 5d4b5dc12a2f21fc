#include "platform/uipulse.h"

#include "platform/qt/windowregistry.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <mutex>
#include <unistd.h>

namespace platform {

namespace {

// A real-time signal of the pulse's own: the host keeps the classic ones, and the runtime
// keeps SIGVTALRM and SIGCHLD.
int pulseSignal()
{
    return SIGRTMIN + 4;
}

// The beat of the live pulse; process-wide like the signal.
std::atomic<UiPulse::Beat> currentBeat{nullptr};

void onPulse(int)
{
    const int savedErrno = errno;
    if (const UiPulse::Beat beat = currentBeat.load(std::memory_order_acquire))
        beat();
    errno = savedErrno;
}

/// Installs the handler once; it stays, so that a beat already on its way when a pulse ends
/// finds a handler that does nothing, never the default action (which ends the process).
bool installHandler()
{
    static const bool installed = [] {
        struct sigaction action = {};
        action.sa_handler = onPulse;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: a system call the thread blocks in must return, so that whatever
        // waits in it can notice the beat.
        action.sa_flags = 0;
        return sigaction(pulseSignal(), &action, nullptr) == 0;
    }();
    return installed;
}

/// Drops user input meant for anything but one window while it lives.
class InputGate : public QObject
{
public:
    explicit InputGate(QWidget *allowed) : m_allowed(allowed)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputGate() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputGate(const InputGate &) = delete;
    InputGate &operator=(const InputGate &) = delete;

    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        return isUserInput(event->type()) && !isInside(receiver);
    }

private:
    static bool isUserInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::Drop:
        case QEvent::Close:
            return true;
        default:
            return false;
        }
    }

    bool isInside(QObject *receiver) const
    {
        if (!m_allowed)
            return false;
        if (auto *widget = qobject_cast<QWidget *>(receiver))
            return widget == m_allowed || m_allowed->isAncestorOf(widget);
        if (auto *window = qobject_cast<QWindow *>(receiver))
            return window == m_allowed->window()->windowHandle();
        return true; // not a window: no input of the user's
    }

    QPointer<QWidget> m_allowed;
};

} // namespace

UiPulse::UiPulse(Beat beat, int firstMs, int intervalMs)
{
    if (!installHandler())
        return;
    currentBeat.store(beat, std::memory_order_release);
    struct sigevent event = {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = pulseSignal();
#ifdef sigev_notify_thread_id
    event.sigev_notify_thread_id = gettid();
#else
    event._sigev_un._tid = gettid();
#endif
    timer_t timer = nullptr;
    if (timer_create(CLOCK_MONOTONIC, &event, &timer) != 0) {
        currentBeat.store(nullptr, std::memory_order_release);
        return; // no pulse: the thread just stays busy, as it would without one
    }
    const auto duration = [](int ms) { return timespec{ms / 1000, (ms % 1000) * 1'000'000L}; };
    const itimerspec times = {duration(intervalMs), duration(firstMs)};
    timer_settime(timer, 0, &times, nullptr);
    m_timer = timer;
}

UiPulse::~UiPulse()
{
    if (m_timer)
        timer_delete(static_cast<timer_t>(m_timer));
    // A beat generated before the deletion has been delivered by now: the signal is aimed at
    // this thread, which takes it on the way back from the call above.
    currentBeat.store(nullptr, std::memory_order_release);
}

void UiPulse::serviceEvents(WindowHandle window)
{
    const InputGate gate(widgetOf(window));
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace platform
