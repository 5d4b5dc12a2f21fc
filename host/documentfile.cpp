#include "documentfile.h"

#include <QFile>
#include <QSaveFile>

LineEnding DocumentFile::detectLineEnding(const QByteArray &bytes)
{
    const qsizetype lf = bytes.indexOf('\n');
    return lf > 0 && bytes.at(lf - 1) == '\r' ? LineEnding::CrLf : LineEnding::Lf;
}

QString DocumentFile::normalizeLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString DocumentFile::decode(const QByteArray &bytes)
{
    return normalizeLineBreaks(QString::fromLocal8Bit(bytes));
}

QByteArray DocumentFile::encode(const QString &text, LineEnding style)
{
    QString out = text;
    if (style == LineEnding::CrLf)
        out.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return out.toLocal8Bit();
}

int DocumentFile::positionOfByte(const QByteArray &bytes, qsizetype offset)
{
    return int(decode(bytes.left(offset)).size());
}

bool DocumentFile::load(const QString &path, QString *text, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot open \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    m_path = path;
    m_lineEnding = detectLineEnding(bytes);
    *text = decode(bytes);
    return true;
}

bool DocumentFile::save(const QString &path, const QString &text, QString *error)
{
    // Written aside and renamed, so a failed save never leaves half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encode(text, m_lineEnding)) < 0 ||
        !file.commit()) {
        *error = QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    m_path = path;
    return true;
}
