#include "platform/filesystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

QString localPath(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

char pathSeparator()
{
    return '/';
}

bool folderExists(const std::string &path)
{
    return QFileInfo(localPath(path)).isDir();
}

bool fileExists(const std::string &path)
{
    return QFileInfo(localPath(path)).isFile();
}

bool createFolder(const std::string &path)
{
    return QDir().mkdir(localPath(path));
}

std::vector<std::string> findEntries(const std::string &folder, const std::string &wildcard)
{
    const QDir dir(localPath(folder), localPath(wildcard), QDir::NoSort,
                   QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    std::vector<std::string> names;
    for (const QString &name : dir.entryList())
        names.push_back(QFile::encodeName(name).toStdString());
    return names;
}

std::optional<std::string> readFile(const std::string &path)
{
    // Nothing on Linux keeps others from writing a file while it is read; the read is one
    // call, so the bytes are what the file held then.
    QFile file(localPath(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes.toStdString();
}

} // namespace platform
