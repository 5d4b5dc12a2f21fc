#pragma once

#include "runner/linelist.h"
#include "runner/scriptsource.h"

#include <functional>
#include <string>

/**
 * Runs a Ruby script with parameter lines as its `ARGV` in the embedded runtime.
 *
 * Script and Params are the component's own copies. The first component constructed outside
 * design mode starts the runtime for the whole process; it is never shut down, so globals,
 * constants, methods and loaded libraries stay visible to later runs of every component.
 */
class TZerith
{
public:
    using TNotifyEvent = std::function<void(TZerith *sender)>;

    /// Starts the runtime once per process unless @p designMode is set.
    explicit TZerith(bool designMode = false);
    virtual ~TZerith();
    TZerith(const TZerith &) = delete;
    TZerith &operator=(const TZerith &) = delete;

    /// The script's lines.
    const LineList &Script() const;
    /// Replaces the script by a copy of @p lines.
    void setScript(const LineList &lines);
    /// The parameter lines, which become the script's `ARGV`.
    const LineList &Params() const;
    /// Replaces the parameters by a copy of @p lines.
    void setParams(const LineList &lines);
    /// Replaces the parameters by @p lines, taking them over without a copy.
    void setParams(LineList &&lines);
    /// The file the script is run as: its `__FILE__` and `$0`, the base of its
    /// `require_relative` and the name in its error messages. Empty (the default) stands for
    /// "-", a script without a file.
    const std::string &scriptFileName() const;
    void setScriptFileName(std::string fileName);
    /// How the script's text is compiled: typed in (the default), or a file's.
    ScriptSource scriptSource() const;
    void setScriptSource(ScriptSource source);

    /// Called with this component after each run of the script.
    const TNotifyEvent &AfterExec() const;
    void setAfterExec(TNotifyEvent handler);
    /// Called with this component before each run, once `ARGV` has been emptied.
    const TNotifyEvent &BeforeExec() const;
    void setBeforeExec(TNotifyEvent handler);

    /**
     * Empties `ARGV`, fires BeforeExec, runs Script with Params as `ARGV`, fires AfterExec.
     * Output lines go into *@p outputLines when given. Script errors arrive as text in the
     * output; only the plug-in's own failures throw (std::exception), and then AfterExec does
     * not fire. Throws std::logic_error when the runtime has not been started.
     */
    void Execute(LineList *outputLines);
    /// Whether the component was made for a form designer (and so started nothing).
    bool isDesignMode() const;

protected:
    /// Calls the BeforeExec handler, if any, with this component.
    virtual void DoBeforeExec();
    /// Calls the AfterExec handler, if any, with this component.
    virtual void DoAfterExec();

private:
    LineList m_scriptList;
    LineList m_paramList;
    std::string m_scriptFileName;
    ScriptSource m_scriptSource = ScriptSource::Typed;
    TNotifyEvent m_afterExecHandler;
    TNotifyEvent m_beforeExecHandler;
    bool m_designMode;
};

/// Starts the runtime unless it has been started already in this process.
void EnsureRuntimeStarted();
/// Whether the runtime has been started in this process (there is no way back).
bool IsRuntimeStarted();
