#include "platform/shellfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

std::string documentsFolder()
{
    // Qt reads the XDG user-dirs file and falls back to ~/Documents, as the desktop does.
    QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (path.isEmpty())
        path = QDir::homePath() + QStringLiteral("/Documents");
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path.toLocal8Bit().toStdString();
}

std::string applicationTitle()
{
    // The running executable, not argv[0], which a launcher may have set to anything.
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    QString name = QFileInfo(executable).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name.toLocal8Bit().toStdString();
}

} // namespace platform
