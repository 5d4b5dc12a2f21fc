// plinthar: a small Qt text editor that loads Plinthar plug-ins, with a headless batch mode.

#include "batchrun.h"
#include "documentfile.h"
#include "editorview.h"
#include "host/commandline.h"
#include "host/linebreaks.h"
#include "mainframe.h"
#include "platform/qt/pooledthreadsdrain.h"
#include "timelimit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

void printError(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
}

void dropQtChatter(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        printError(message);
}

// The text of a script file as the script editor takes it: decoded, every break one "\n".
QString scriptEditorText(const QByteArray &bytes)
{
    std::string text;
    text.reserve(std::size_t(bytes.size()));
    LineBreaks::convert(std::string_view(bytes.data(), std::size_t(bytes.size())), LineEnding::Lf,
                        std::size_t(bytes.size()) + 1,
                        [&text](std::string_view piece) { text.append(piece); });
    return QString::fromLocal8Bit(text.data(), qsizetype(text.size()));
}

QString local(const std::string &bytes)
{
    return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size()));
}

QStringList loadPlugins(MainFrame &frame, const PlintharOptions &options)
{
    const QString folder =
        options.pluginFolder ? local(*options.pluginFolder)
                             : QCoreApplication::applicationDirPath() + QStringLiteral("/plugins");
    QStringList errors = frame.loadPluginFolder(folder);
    for (const std::string &path : options.plugins) {
        QString error;
        if (!frame.loadPlugin(local(path), &error))
            errors << error;
    }
    return errors;
}

// The plug-in batch mode invokes (CommandLine::batchPlugin).
std::optional<std::size_t> batchPlugin(const MainFrame &frame, const PlintharOptions &options)
{
    std::vector<std::string> loaded;
    for (const MainFrame::InstalledPlugin &plugin : frame.plugins())
        loaded.push_back(QFileInfo(plugin.library->path()).absoluteFilePath().toStdString());
    std::vector<std::string> named;
    for (const std::string &path : options.plugins)
        named.push_back(QFileInfo(local(path)).absoluteFilePath().toStdString());
    return CommandLine::batchPlugin(loaded, named, std::equal_to<>());
}

int runBatch(const PlintharOptions &options)
{
    std::optional<QString> scriptText;
    if (options.scriptFile) {
        QFile file(local(*options.scriptFile));
        if (!file.open(QIODevice::ReadOnly)) {
            printError(QStringLiteral("Cannot open the script \"%1\": %2")
                           .arg(file.fileName(), file.errorString()));
            return 2;
        }
        scriptText = scriptEditorText(file.readAll());
    }

    MainFrame frame;
    // Nobody can undo a batch run: the view keeps no copies of what the command changes.
    frame.view()->setCollectsUndo(false);
    QString error;
    if (!frame.openDocument(local(options.document), &error)) {
        printError(error);
        return 2;
    }
    const long size = frame.view()->length();
    if (options.selection && options.selection->second > size) {
        printError(QStringLiteral("The selection %1..%2 lies outside the document (%3 bytes).")
                       .arg(options.selection->first)
                       .arg(options.selection->second)
                       .arg(size));
        return 2;
    }
    for (const QString &loadError : loadPlugins(frame, options))
        printError(loadError);
    const std::optional<std::size_t> plugin = batchPlugin(frame, options);
    if (!plugin) {
        printError(QStringLiteral("No plug-in is loaded."));
        return 2;
    }
    frame.show();
    if (options.selection)
        frame.view()->selectRange(options.selection->first, options.selection->second);

    BatchRun automation(local(options.scriptName), scriptText, options.timeLimit);
    std::optional<TimeLimit> limit;
    if (automation.timeLimit())
        limit.emplace(*automation.timeLimit());
    const BatchRun::Result result = automation.run([&] { frame.runCommand(*plugin); });
    // A stopped script leaves the window open and the document as it was, which is written.
    const bool stopped = limit && limit->expired();
    if (stopped) {
        printError(limit->message());
    } else if (result.exitCode != 0) {
        printError(result.message);
        return result.exitCode;
    }
    // The document's own bytes, written from where the view keeps them.
    const QByteArrayView output = frame.view()->bytes();
    if (std::fwrite(output.data(), 1, std::size_t(output.size()), stdout) !=
            std::size_t(output.size()) ||
        std::fflush(stdout) != 0) {
        printError(QStringLiteral("Cannot write the document to standard output."));
        return 2;
    }
    return stopped ? 3 : 0;
}

int runEditor(const PlintharOptions &options)
{
    MainFrame frame;
    const QStringList errors = loadPlugins(frame, options);
    for (const QString &error : errors)
        printError(error);
    if (!options.document.empty()) {
        QString error;
        if (!frame.openDocument(local(options.document), &error)) {
            printError(error);
            QTimer::singleShot(
                0, &frame, [&frame, error] { QMessageBox::warning(&frame, "Plinthar", error); });
        }
    }
    frame.show();
    if (!errors.isEmpty()) {
        QTimer::singleShot(0, &frame, [&frame, errors] {
            QMessageBox::warning(&frame, QStringLiteral("Plinthar"),
                                 errors.join(QStringLiteral("\n\n")));
        });
    }
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // Read before Qt sees them: Qt takes "--plugin" for its own plug-in option.
    const std::vector<std::string> args(argv, argv + argc);
    // Batch mode needs no display.
    const bool batch = std::find(args.begin(), args.end(), "--batch") != args.end();
    if (batch && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Headless, Qt's own warnings (no runtime folder, an offscreen window that cannot size
    // itself) say nothing about the run; batch mode reports its outcome itself.
    if (batch)
        qInstallMessageHandler(dropQtChatter);

    int qtArgc = 1;
    const PooledThreadsDrain drain;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Plinthar"));
    std::string error;
    const std::optional<PlintharOptions> options = CommandLine::parse(args, &error);
    if (!options) {
        printError(local(error));
        std::fputs(CommandLine::usage(), stderr);
        return 2;
    }
    return options->batch ? runBatch(*options) : runEditor(*options);
}
