// plinthar: a small Qt text editor that loads Plinthar plug-ins, with a headless batch mode.

#include "batchrun.h"
#include "documentfile.h"
#include "editorview.h"
#include "mainframe.h"
#include "timelimit.h"

#include "platform/qt/pooledthreadsdrain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <optional>

namespace {

struct Options
{
    bool batch = false;
    QString scriptName;
    std::optional<QString> scriptFile;
    std::optional<std::pair<qint64, qint64>> selection;
    QStringList plugins;
    std::optional<QString> pluginFolder;
    QString document;
    std::optional<double> timeLimit; // seconds
};

const char kUsage[] =
    "Usage: plinthar [--plugin PATH]... [--plugin-folder DIR] [DOCUMENT]\n"
    "       plinthar --batch (--script NAME | --script-file PATH) [--selection START END]\n"
    "                [--time-limit SECONDS] [--plugin PATH]... [--plugin-folder DIR] DOCUMENT\n";

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
    QString text = QString::fromLocal8Bit(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool parseNumber(const QString &text, qint64 *value)
{
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok && *value >= 0;
}

// Answers the options, or an error text for a usage error.
std::optional<Options> parseArguments(const QStringList &args, QString *error)
{
    Options options;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const auto value = [&](qsizetype count) {
            if (i + count >= args.size()) {
                *error = QStringLiteral("%1 needs %2 value(s).").arg(arg).arg(count);
                return false;
            }
            return true;
        };
        if (arg == QLatin1String("--batch")) {
            options.batch = true;
        } else if (arg == QLatin1String("--script")) {
            if (!value(1))
                return std::nullopt;
            options.scriptName = args[++i];
        } else if (arg == QLatin1String("--script-file")) {
            if (!value(1))
                return std::nullopt;
            options.scriptFile = args[++i];
        } else if (arg == QLatin1String("--selection")) {
            if (!value(2))
                return std::nullopt;
            qint64 start = 0;
            qint64 end = 0;
            if (!parseNumber(args[i + 1], &start) || !parseNumber(args[i + 2], &end) ||
                start > end) {
                *error = QStringLiteral("--selection needs two byte offsets START <= END.");
                return std::nullopt;
            }
            options.selection = std::pair(start, end);
            i += 2;
        } else if (arg == QLatin1String("--time-limit")) {
            if (!value(1))
                return std::nullopt;
            bool ok = false;
            options.timeLimit = args[++i].toDouble(&ok);
            if (!ok || !(*options.timeLimit > 0 && *options.timeLimit < 2'000'000)) {
                *error = QStringLiteral("--time-limit needs a number of seconds above 0.");
                return std::nullopt;
            }
        } else if (arg == QLatin1String("--plugin")) {
            if (!value(1))
                return std::nullopt;
            options.plugins << args[++i];
        } else if (arg == QLatin1String("--plugin-folder")) {
            if (!value(1))
                return std::nullopt;
            options.pluginFolder = args[++i];
        } else if (arg.startsWith(QLatin1String("--")) || !options.document.isEmpty()) {
            *error = QStringLiteral("Unexpected argument \"%1\".").arg(arg);
            return std::nullopt;
        } else {
            options.document = arg;
        }
    }
    if (options.batch) {
        if (options.document.isEmpty() ||
            options.scriptName.isEmpty() == !options.scriptFile.has_value()) {
            *error = QStringLiteral("Batch mode needs a DOCUMENT and one of --script or "
                                    "--script-file.");
            return std::nullopt;
        }
    } else if (!options.scriptName.isEmpty() || options.scriptFile || options.selection ||
               options.timeLimit) {
        *error =
            QStringLiteral("--script, --script-file, --selection and --time-limit need --batch.");
        return std::nullopt;
    }
    return options;
}

QStringList loadPlugins(MainFrame &frame, const Options &options)
{
    const QString folder = options.pluginFolder.value_or(QCoreApplication::applicationDirPath() +
                                                         QStringLiteral("/plugins"));
    QStringList errors = frame.loadPluginFolder(folder);
    for (const QString &path : options.plugins) {
        QString error;
        if (!frame.loadPlugin(path, &error))
            errors << error;
    }
    return errors;
}

// The plug-in batch mode invokes: the first one named on the command line, else the one
// named Korvex, else the first one loaded.
std::optional<std::size_t> batchPlugin(const MainFrame &frame, const Options &options)
{
    const auto &plugins = frame.plugins();
    for (const QString &path : options.plugins) {
        const QString wanted = QFileInfo(path).absoluteFilePath();
        for (std::size_t i = 0; i < plugins.size(); ++i) {
            if (plugins[i].library->path() == wanted)
                return i;
        }
    }
    for (std::size_t i = 0; i < plugins.size(); ++i) {
        if (QFileInfo(plugins[i].library->path())
                .completeBaseName()
                .compare(QLatin1String("Korvex"), Qt::CaseInsensitive) == 0)
            return i;
    }
    if (!plugins.empty())
        return 0;
    return std::nullopt;
}

int runBatch(const Options &options)
{
    std::optional<QString> scriptText;
    if (options.scriptFile) {
        QFile file(*options.scriptFile);
        if (!file.open(QIODevice::ReadOnly)) {
            printError(QStringLiteral("Cannot open the script \"%1\": %2")
                           .arg(*options.scriptFile, file.errorString()));
            return 2;
        }
        scriptText = scriptEditorText(file.readAll());
    }

    MainFrame frame;
    // Nobody can undo a batch run: the view keeps no copies of what the command changes.
    frame.view()->setCollectsUndo(false);
    QString error;
    if (!frame.openDocument(options.document, &error)) {
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

    BatchRun automation(options.scriptName, scriptText);
    std::optional<TimeLimit> limit;
    if (options.timeLimit)
        limit.emplace(*options.timeLimit);
    const BatchRun::Result result = automation.run([&] { frame.runCommand(*plugin); });
    // A stopped script leaves the window open and the document as it was, which is written.
    const bool stopped = limit && limit->expired();
    if (stopped)
        printError(limit->message());
    else if (result.exitCode != 0) {
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

int runEditor(const Options &options)
{
    MainFrame frame;
    const QStringList errors = loadPlugins(frame, options);
    for (const QString &error : errors)
        printError(error);
    if (!options.document.isEmpty()) {
        QString error;
        if (!frame.openDocument(options.document, &error)) {
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
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Batch mode needs no display.
    const bool batch = args.contains(QStringLiteral("--batch"));
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
    QString error;
    const std::optional<Options> options = parseArguments(args, &error);
    if (!options) {
        printError(error);
        std::fputs(kUsage, stderr);
        return 2;
    }
    return options->batch ? runBatch(*options) : runEditor(*options);
}
