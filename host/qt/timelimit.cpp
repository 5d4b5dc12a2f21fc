#include "timelimit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

namespace {

// How soon to look again when the limit has passed but no Stop can be pressed yet (the run has
// not been going on long enough to show it).
constexpr int RetryMs = 50;

QAbstractButton *stopButton()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmKorvex") && widget->isVisible())
            return widget->findChild<QAbstractButton *>(QStringLiteral("btnStop"));
    }
    return nullptr;
}

} // namespace

TimeLimit::TimeLimit(double seconds) : m_seconds(seconds)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TimeLimit::pressStop);
    m_timer.start(static_cast<int>(seconds * 1000));
}

QString TimeLimit::message() const
{
    return QStringLiteral("stopped after %1 s").arg(m_seconds);
}

void TimeLimit::pressStop()
{
    QAbstractButton *const stop = stopButton();
    if (!stop || !stop->isEnabled()) {
        // Nothing runs yet, or the run ended meanwhile (a window left open then stays so).
        if (!m_expired)
            m_timer.start(RetryMs);
        return;
    }
    m_expired = true;
    stop->click();
    m_timer.start(GraceMs);
}
