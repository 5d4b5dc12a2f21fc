// Draws the plug-in's toolbar bitmaps into .bmp files, and optionally a contact sheet of them
// for review. Usage: drawbitmaps <output folder> [--contact-sheet <file.png>]

#include "bitmapset.h"
#include "contactsheet.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // No window is ever shown; the offscreen platform still gives fonts for the labels.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    const QStringList args = app.arguments().mid(1);
    QString outputDir;
    QString sheetFile;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--contact-sheet") && i + 1 < args.size())
            sheetFile = args[++i];
        else if (outputDir.isEmpty() && !args[i].startsWith(QLatin1Char('-')))
            outputDir = args[i];
        else {
            err << "usage: drawbitmaps <output folder> [--contact-sheet <file.png>]\n";
            return 2;
        }
    }
    if (outputDir.isEmpty()) {
        err << "usage: drawbitmaps <output folder> [--contact-sheet <file.png>]\n";
        return 2;
    }
    if (!QDir().mkpath(outputDir)) {
        err << "cannot create " << outputDir << "\n";
        return 1;
    }

    QList<ContactSheet::Item> items;
    for (const BitmapSet::Entry &entry : BitmapSet::entries()) {
        const QByteArray bytes = BitmapSet::file(entry);
        const QString path = QDir(outputDir).filePath(BitmapSet::fileName(entry.id));
        QFile file(path);
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes) != bytes.size() || !file.flush()) {
            err << "cannot write " << path << "\n";
            return 1;
        }
        // Review what was written, not what was drawn, so encoder faults show up too.
        items.append({QStringLiteral("%1 (%2 bit)").arg(entry.id).arg(entry.bitsPerPixel),
                      QImage::fromData(bytes, "BMP")});
    }

    if (!sheetFile.isEmpty() && !ContactSheet::render(items).save(sheetFile, "PNG")) {
        err << "cannot write " << sheetFile << "\n";
        return 1;
    }
    return 0;
}
