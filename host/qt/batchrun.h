#pragma once

#include "platform/messagebox.h"
#include "platform/qt/messageboxhook.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class QWidget;

/// Drives the plug-in's script window the way a user would, for batch mode: waits for the
/// visible "frmKorvex" window, picks a script from "cboScripts" (or types one into "Memo1"),
/// presses "SpeedButton1" and captures any error box instead of showing it.
class BatchRun : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        int exitCode = 0; ///< 0 completed, 1 the window stayed open or never opened, 2 usage
        QString message;  ///< the error box's text or what went wrong; empty on success
    };

    /// Picks @p scriptName from the list, or, when @p scriptText is given, types it instead.
    /// @p timeLimit is the run's limit in seconds as the command line gave it.
    BatchRun(QString scriptName, std::optional<QString> scriptText,
             std::optional<int> timeLimit = std::nullopt);
    /// Restores the message-box hook that was installed before.
    ~BatchRun() override;

    /// Calls @p invoke (which shows the window modally and returns when it closes) while
    /// driving the window, and answers the outcome.
    Result run(const std::function<void()> &invoke);
    /// The run's limit in seconds, if the command line set one.
    std::optional<int> timeLimit() const { return m_timeLimit; }

private:
    void poll();
    void drive(QWidget *window);
    void checkClosed();
    void fail(int exitCode, const QString &message);

    QString m_scriptName;
    std::optional<QString> m_scriptText;
    std::optional<int> m_timeLimit;
    platform::MessageBoxHook m_previousHook;
    QTimer m_poll;
    QPointer<QWidget> m_window;
    QString m_errorText;
    bool m_pressedRun = false;
    std::optional<Result> m_failure;
};
