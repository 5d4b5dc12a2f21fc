#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

/// Batch mode's --time-limit: once the limit has passed, presses Stop ("btnStop") in the
/// plug-in's script window ("frmKorvex") as a user would, and again after every grace period
/// while the script still runs. Its timer fires while a script runs because the plug-in
/// handles the thread's events during a long run.
class TimeLimit : public QObject
{
    Q_OBJECT

public:
    /// How long a script may go on after a Stop before Stop is pressed again.
    static constexpr int GraceMs = 1000;

    /// Starts counting @p seconds (more than 0) from now.
    explicit TimeLimit(double seconds);

    /// Whether Stop was pressed because the limit passed.
    bool expired() const { return m_expired; }
    /// What batch mode reports on standard error when the limit passed: "stopped after N s".
    QString message() const;

private:
    void pressStop();

    double m_seconds;
    QTimer m_timer;
    bool m_expired = false;
};
