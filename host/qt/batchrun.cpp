#include "batchrun.h"

#include "host/timelimit.h"
#include "platform/qt/messageboxhook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QWidget>

namespace {

QAbstractButton *stopButton()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmKorvex") && widget->isVisible())
            return widget->findChild<QAbstractButton *>(QStringLiteral("btnStop"));
    }
    return nullptr;
}

} // namespace

BatchRun::BatchRun(QString scriptName, std::optional<QString> scriptText, TimeLimit *limit)
    : m_scriptName(std::move(scriptName)), m_scriptText(std::move(scriptText)), m_limit(limit)
{
    m_previousHook =
        platform::setMessageBoxHook([this](platform::WindowHandle, const std::string &text,
                                           const std::string &, platform::MessageBoxStyle style) {
            if (style == platform::MessageBoxStyle::YesNoQuestion)
                return platform::MessageBoxResult::No;
            if (!m_errorText.isEmpty())
                m_errorText += QLatin1Char('\n');
            m_errorText += QString::fromLocal8Bit(text);
            return platform::MessageBoxResult::Ok;
        });
    m_poll.setInterval(10);
    connect(&m_poll, &QTimer::timeout, this, &BatchRun::poll);
    m_stop.setSingleShot(true);
    connect(&m_stop, &QTimer::timeout, this, &BatchRun::stopDue);
}

BatchRun::~BatchRun()
{
    platform::setMessageBoxHook(std::move(m_previousHook));
}

BatchRun::Result BatchRun::run(const std::function<void()> &invoke)
{
    // The window is shown modally from inside invoke(), so the automation must already be
    // waiting in the event loop.
    m_poll.start();
    if (m_limit)
        m_stop.start(m_limit->firstMs());
    invoke();
    m_poll.stop();
    m_stop.stop();
    if (m_failure)
        return *m_failure;
    if (!m_errorText.isEmpty())
        return {1, m_errorText};
    if (!m_pressedRun)
        return {1, QStringLiteral("The script window did not open.")};
    return {};
}

void BatchRun::poll()
{
    if (m_window)
        return;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmKorvex") && widget->isVisible()) {
            m_poll.stop();
            m_window = widget;
            drive(widget);
            return;
        }
    }
}

void BatchRun::fail(int exitCode, const QString &message)
{
    if (!m_failure)
        m_failure = Result{exitCode, message};
    if (!m_window)
        return;
    if (auto *dialog = qobject_cast<QDialog *>(m_window.data()))
        dialog->reject();
    else
        m_window->close();
}

void BatchRun::drive(QWidget *window)
{
    auto *scripts = window->findChild<QComboBox *>(QStringLiteral("cboScripts"));
    auto *memo = window->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    auto *run = window->findChild<QAbstractButton *>(QStringLiteral("SpeedButton1"));
    if (scripts == nullptr || memo == nullptr || run == nullptr) {
        fail(1, QStringLiteral("The script window lacks cboScripts, Memo1 or SpeedButton1."));
        return;
    }
    if (m_scriptText) {
        memo->setPlainText(*m_scriptText);
    } else {
        const int index = scripts->findText(m_scriptName, Qt::MatchExactly);
        if (index < 0) {
            fail(2,
                 QStringLiteral("The script \"%1\" is not in the scripts list.").arg(m_scriptName));
            return;
        }
        scripts->setCurrentIndex(index);
        emit scripts->activated(index);
        if (!m_errorText.isEmpty()) {
            fail(1, m_errorText);
            return;
        }
    }
    m_pressedRun = true;
    run->click();
    // A failing run reports through the error box and leaves the window open.
    QTimer::singleShot(0, this, &BatchRun::checkClosed);
}

void BatchRun::checkClosed()
{
    if (m_window && m_window->isVisible()) {
        fail(1, m_errorText.isEmpty() ? QStringLiteral("The script window stayed open after Run.")
                                      : m_errorText);
    } else if (!m_errorText.isEmpty()) {
        fail(1, m_errorText);
    }
}

void BatchRun::stopDue()
{
    const std::optional<int> next = m_limit->due([] {
        QAbstractButton *const stop = stopButton();
        if (!stop || !stop->isEnabled())
            return false;
        stop->click();
        return true;
    });
    if (next)
        m_stop.start(*next);
}
