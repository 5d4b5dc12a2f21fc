#include "documentfile.h"

#include <QSaveFile>

LineEnding DocumentFile::detectLineEnding(QByteArrayView bytes)
{
    return LineBreaks::detect(std::string_view(bytes.data(), std::size_t(bytes.size())));
}

bool DocumentFile::save(const QString &path, QByteArrayView bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), bytes.size()) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    m_path = path;
    return true;
}
