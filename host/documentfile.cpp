#include "documentfile.h"

#include <QSaveFile>
#include <algorithm>

LineEnding DocumentFile::detectLineEnding(QByteArrayView bytes)
{
    const auto *const end = bytes.end();
    const auto *const brk =
        std::find_if(bytes.begin(), end, [](char c) { return c == '\r' || c == '\n'; });
    if (brk == end || *brk == '\n')
        return LineEnding::Lf;
    return brk + 1 != end && brk[1] == '\n' ? LineEnding::CrLf : LineEnding::Cr;
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
