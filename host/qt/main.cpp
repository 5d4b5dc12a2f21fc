// plinthar: a small Qt text editor that loads Plinthar plug-ins, with a headless batch mode.

#include "frameface.h"
#include "mainframe.h"

#include "host/batchmode.h"
#include "host/commandline.h"
#include "platform/qt/pooledthreadsdrain.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

void printError(const QString &text)
{
    BatchMode::printError(text.toLocal8Bit().toStdString());
}

void dropQtChatter(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        printError(message);
}

int runBatch(const PlintharOptions &options)
{
    MainFrame frame;
    FrameFace face(frame);
    return BatchMode::run(face, options);
}

int runEditor(const PlintharOptions &options)
{
    MainFrame frame;
    FrameFace face(frame);
    QStringList errors;
    for (const std::string &error : face.loadPlugins(options)) {
        BatchMode::printError(error);
        errors << QString::fromLocal8Bit(error.data(), qsizetype(error.size()));
    }
    if (!options.document.empty()) {
        QString error;
        if (!frame.openDocument(
                QString::fromLocal8Bit(options.document.data(), qsizetype(options.document.size())),
                &error)) {
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
        BatchMode::printError(error);
        std::fputs(CommandLine::usage(), stderr);
        return 2;
    }
    return options->batch ? runBatch(*options) : runEditor(*options);
}
