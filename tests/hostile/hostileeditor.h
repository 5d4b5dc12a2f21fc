#pragma once

#include "host/qt/mainframe.h"

#include <QString>
#include <QTemporaryDir>
#include <array>
#include <memory>
#include <sys/stat.h>

/// plinthar's main frame with the built Korvex.so loaded as the editor loads it, a private
/// Documents/Korvex folder, and the means to run a script through the Run button and to
/// check what a run may have broken.
class HostileEditor
{
public:
    struct Outcome
    {
        bool closed = false; ///< the script window closed, so the run completed
        QString box;         ///< the error box's text when it stayed open
        QString document;    ///< the whole document afterwards, breaks as "\n"
    };

    /// Sets HOME to a fresh folder and loads Korvex.so into a new frame; check loaded().
    HostileEditor();
    /// Releases the plug-in and gives HOME back.
    ~HostileEditor();
    HostileEditor(const HostileEditor &) = delete;
    HostileEditor &operator=(const HostileEditor &) = delete;

    /// Empty when Korvex.so loaded, else why not.
    const QString &loadError() const { return m_loadError; }
    /// Puts @p bytes into Documents/Korvex/@p name, where the script list finds it.
    void addScript(const QString &name, const QByteArray &bytes) const;
    /// The full path of the script @p name in Documents/Korvex.
    QString scriptPath(const QString &name) const;
    /// Sets the document to @p document with nothing selected, then invokes Korvex, picks
    /// @p name from its list and presses Run, as a user does.
    Outcome run(const QString &name, const QString &document);
    /// What a run left broken among the standard streams: Ruby's `$stdin`, `$stdout`,
    /// `$stderr` no longer the process's STDIN, STDOUT, STDERR, or descriptors 0 to 2 closed
    /// or pointing elsewhere than when the editor started. Empty when all is well.
    QString streamFaults() const;

private:
    QTemporaryDir m_home;
    QByteArray m_savedHome;
    QString m_loadError;
    std::array<struct stat, 3> m_descriptors{};
    std::unique_ptr<MainFrame> m_frame;
};
