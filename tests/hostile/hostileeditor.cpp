#include "hostileeditor.h"

#include "host/qt/batchrun.h"
#include "host/qt/editorview.h"

#include <QDir>
#include <QFile>
#include <ruby.h>
#include <unistd.h>

namespace {

// Evaluated in the runtime after a run; answers the names of the streams found wrong.
constexpr char kStreamCheck[] = R"(
faults = []
faults << "$stdin" unless STDIN.equal?($stdin)
faults << "$stdout" unless STDOUT.equal?($stdout)
faults << "$stderr" unless STDERR.equal?($stderr)
[[STDIN, 0], [STDOUT, 1], [STDERR, 2]].each do |io, fd|
  faults << "STD of fd #{fd} closed" if io.closed?
  faults << "STD of fd #{fd} moved" if !io.closed? && io.fileno != fd
end
faults.join(", ")
)";

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_rdev == b.st_rdev;
}

} // namespace

HostileEditor::HostileEditor()
{
    for (int fd = 0; fd < 3; ++fd)
        ::fstat(fd, &m_descriptors[std::size_t(fd)]);
    m_savedHome = qgetenv("HOME");
    qputenv("HOME", m_home.path().toLocal8Bit());
    QDir(m_home.path()).mkpath(QStringLiteral("Documents/Korvex"));
    m_frame = std::make_unique<MainFrame>();
    if (!m_frame->loadPlugin(QStringLiteral(KORVEX_LIBRARY), &m_loadError) && m_loadError.isEmpty())
        m_loadError = QStringLiteral("Korvex.so did not load");
    m_frame->show();
}

HostileEditor::~HostileEditor()
{
    m_frame.reset();
    qputenv("HOME", m_savedHome);
}

QString HostileEditor::scriptPath(const QString &name) const
{
    return m_home.path() + QStringLiteral("/Documents/Korvex/") + name;
}

void HostileEditor::addScript(const QString &name, const QByteArray &bytes) const
{
    QFile file(scriptPath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

HostileEditor::Outcome HostileEditor::run(const QString &name, const QString &document)
{
    m_frame->view()->setText(document);
    BatchRun batch(name, std::nullopt);
    const BatchRun::Result result = batch.run([this] { m_frame->runCommand(0); });
    return {result.exitCode == 0, result.message, m_frame->documentText()};
}

QString HostileEditor::streamFaults() const
{
    QStringList faults;
    for (int fd = 0; fd < 3; ++fd) {
        struct stat now = {};
        if (::fstat(fd, &now) != 0)
            faults << QStringLiteral("fd %1 closed").arg(fd);
        else if (!sameFile(now, m_descriptors[std::size_t(fd)]))
            faults << QStringLiteral("fd %1 replaced").arg(fd);
    }
    int state = 0;
    const VALUE answer = rb_eval_string_protect(kStreamCheck, &state);
    if (state) {
        rb_set_errinfo(Qnil);
        faults << QStringLiteral("the stream check raised");
    } else if (RB_TYPE_P(answer, T_STRING) && RSTRING_LEN(answer) > 0) {
        faults << QString::fromUtf8(RSTRING_PTR(answer), RSTRING_LEN(answer));
    }
    return faults.join(QStringLiteral("; "));
}
