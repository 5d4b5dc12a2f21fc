#include "runner/zerith.h"

#include "pseudo.h"
#include "rubies.h"
#include "rubystartup.h"
#include "runtimelibrary.h"
#include "runtimestack.h"

#include <stdexcept>
#include <utility>

namespace {
bool runtimeStarted = false;
} // namespace

void EnsureRuntimeStarted()
{
    if (runtimeStarted)
        return;
    RuntimeLibrary::load();
    RuntimeStack::call(StartRuntime);
    runtimeStarted = true;
}

bool IsRuntimeStarted()
{
    return runtimeStarted;
}

TZerith::TZerith(bool designMode) : m_designMode(designMode)
{
    if (!m_designMode)
        EnsureRuntimeStarted();
}

TZerith::~TZerith() = default;

const LineList &TZerith::Script() const
{
    return m_scriptList;
}

void TZerith::setScript(const LineList &lines)
{
    m_scriptList = lines;
}

const LineList &TZerith::Params() const
{
    return m_paramList;
}

void TZerith::setParams(const LineList &lines)
{
    m_paramList = lines;
}

void TZerith::setParams(LineList &&lines)
{
    m_paramList = std::move(lines);
}

const std::string &TZerith::scriptFileName() const
{
    return m_scriptFileName;
}

void TZerith::setScriptFileName(std::string fileName)
{
    m_scriptFileName = std::move(fileName);
}

ScriptSource TZerith::scriptSource() const
{
    return m_scriptSource;
}

void TZerith::setScriptSource(ScriptSource source)
{
    m_scriptSource = source;
}

const TZerith::TNotifyEvent &TZerith::AfterExec() const
{
    return m_afterExecHandler;
}

void TZerith::setAfterExec(TNotifyEvent handler)
{
    m_afterExecHandler = std::move(handler);
}

const TZerith::TNotifyEvent &TZerith::BeforeExec() const
{
    return m_beforeExecHandler;
}

void TZerith::setBeforeExec(TNotifyEvent handler)
{
    m_beforeExecHandler = std::move(handler);
}

void TZerith::Execute(LineList *outputLines)
{
    if (!runtimeStarted)
        throw std::logic_error("The Ruby runtime has not been started");
    RuntimeStack::call([this, outputLines] {
        int state = 0;
        Rubies::protect([](VALUE argv) { return rb_ary_clear(argv); }, Rubies::argv(), &state);
        if (state)
            Rubies::clearErrinfo(); // a script froze ARGV; the run itself reports that
        DoBeforeExec();
        Pseudo::RunScript(m_scriptList, m_paramList, outputLines, m_scriptFileName, m_scriptSource);
        DoAfterExec();
    });
}

bool TZerith::isDesignMode() const
{
    return m_designMode;
}

void TZerith::DoBeforeExec()
{
    if (m_beforeExecHandler)
        m_beforeExecHandler(this);
}

void TZerith::DoAfterExec()
{
    if (m_afterExecHandler)
        m_afterExecHandler(this);
}
