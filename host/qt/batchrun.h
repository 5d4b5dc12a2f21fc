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
class TimeLimit;

/// Drives the plug-in's script window the way a user would, for batch mode: waits for the
/// visible "frmKorvex" window, picks a script from "cboScripts" (or types one into "Memo1"),
/// presses "SpeedButton1" and captures any error box instead of showing it. With a time limit
/// it presses Stop ("btnStop") whenever the limit says; its timer fires while a script runs
/// because the plug-in handles the thread's events during a long run.
class BatchRun : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        int exitCode = 0; ///< 0 completed, 1 the window stayed open or never opened, 2 usage
        QString message;  ///< the error box's text or what went wrong; empty on success
    };

    /// Picks @p scriptName from the list, or, when @p scriptText is given, types it instead;
    /// presses Stop as @p limit (if any, outliving the run) says.
    BatchRun(QString scriptName, std::optional<QString> scriptText, TimeLimit *limit = nullptr);
    /// Restores the message-box hook that was installed before.
    ~BatchRun() override;

    /// Calls @p invoke (which shows the window modally and returns when it closes) while
    /// driving the window, and answers the outcome.
    Result run(const std::function<void()> &invoke);

private:
    void poll();
    void drive(QWidget *window);
    void checkClosed();
    void stopDue();
    void fail(int exitCode, const QString &message);

    QString m_scriptName;
    std::optional<QString> m_scriptText;
    TimeLimit *m_limit;
    platform::MessageBoxHook m_previousHook;
    QTimer m_poll;
    QTimer m_stop;
    QPointer<QWidget> m_window;
    QString m_errorText;
    bool m_pressedRun = false;
    std::optional<Result> m_failure;
};
