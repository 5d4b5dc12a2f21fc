#pragma once

#include "host/linebreaks.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

/// A text file as the editor reads and writes it: its bytes as they are, with no decoding and
/// no change to its line breaks.
class DocumentFile
{
public:
    /// The style of the first line break in @p bytes (CR LF, LF or a lone CR); LF when there
    /// is none.
    static LineEnding detectLineEnding(QByteArrayView bytes);

    /// Writes @p bytes to @p path through a file written aside and renamed, so a failed save
    /// never leaves half a file, and remembers @p path; false with @p error set when the file
    /// cannot be written.
    bool save(const QString &path, QByteArrayView bytes, QString *error);

    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

private:
    QString m_path;
};
