#include "frameface.h"

#include "batchrun.h"
#include "editorview.h"
#include "mainframe.h"

#include "host/linebreaks.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

QString local(const std::string &bytes)
{
    return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size()));
}

std::string bytesOf(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

// The text of a script file as the script editor takes it: decoded, every break one "\n".
QString scriptEditorText(const std::string &bytes)
{
    std::string text;
    text.reserve(bytes.size());
    LineBreaks::convert(bytes, LineEnding::Lf, bytes.size() + 1,
                        [&text](std::string_view piece) { text.append(piece); });
    return local(text);
}

} // namespace

std::vector<std::string> FrameFace::loadPluginFolder(const std::optional<std::string> &folder)
{
    const QStringList errors = m_frame.loadPluginFolder(
        folder ? local(*folder)
               : QCoreApplication::applicationDirPath() + QStringLiteral("/plugins"));
    std::vector<std::string> answer;
    for (const QString &error : errors)
        answer.push_back(bytesOf(error));
    return answer;
}

bool FrameFace::loadPlugin(const std::string &path, std::string *error)
{
    QString reason;
    if (m_frame.loadPlugin(local(path), &reason))
        return true;
    *error = bytesOf(reason);
    return false;
}

std::vector<std::string> FrameFace::pluginPaths() const
{
    std::vector<std::string> paths;
    for (const MainFrame::InstalledPlugin &plugin : m_frame.plugins())
        paths.push_back(QFileInfo(plugin.library->path()).absoluteFilePath().toStdString());
    return paths;
}

std::string FrameFace::fullPath(const std::string &path) const
{
    return QFileInfo(local(path)).absoluteFilePath().toStdString();
}

bool FrameFace::samePath(const std::string &a, const std::string &b) const
{
    return a == b;
}

std::optional<std::string> FrameFace::readFile(const std::string &path, std::string *error)
{
    QFile file(local(path));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = bytesOf(file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

bool FrameFace::openDocument(const std::string &path, std::string *error)
{
    m_frame.view()->setCollectsUndo(false);
    QString reason;
    if (m_frame.openDocument(local(path), &reason))
        return true;
    *error = bytesOf(reason);
    return false;
}

std::size_t FrameFace::documentSize()
{
    return std::size_t(m_frame.view()->length());
}

void FrameFace::showFrame()
{
    m_frame.show();
}

void FrameFace::selectBytes(std::size_t start, std::size_t end)
{
    m_frame.view()->selectRange(qsizetype(start), qsizetype(end));
}

EditorFace::Outcome FrameFace::runCommand(std::size_t plugin, const Script &script,
                                          TimeLimit *limit)
{
    BatchRun automation(local(script.name),
                        script.text ? std::optional(scriptEditorText(*script.text)) : std::nullopt,
                        limit);
    const BatchRun::Result result = automation.run([&] { m_frame.runCommand(plugin); });
    return {result.exitCode, bytesOf(result.message)};
}

std::string_view FrameFace::documentBytes()
{
    const QByteArrayView bytes = m_frame.view()->bytes();
    return {bytes.data(), std::size_t(bytes.size())};
}
