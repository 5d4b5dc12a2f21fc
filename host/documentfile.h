#pragma once

#include <QByteArray>
#include <QString>

/// How a document's lines end on disk.
enum class LineEnding { Lf, CrLf };

/// A text file as the editor reads and writes it: bytes in the locale's coding, one
/// line-ending style per file, kept from load to save.
class DocumentFile
{
public:
    /// The style of @p bytes: CR LF when the first line break is CR LF, otherwise LF.
    static LineEnding detectLineEnding(const QByteArray &bytes);
    /// @p text with every CR LF, lone CR and lone LF turned into one "\n".
    static QString normalizeLineBreaks(QString text);
    /// The editor text of file bytes: decoded from the locale's coding, breaks as "\n".
    static QString decode(const QByteArray &bytes);
    /// The file bytes of editor text (breaks as "\n") in @p style and the locale's coding.
    static QByteArray encode(const QString &text, LineEnding style);

    /// The editor position of byte @p offset of file @p bytes (a break counts once).
    static int positionOfByte(const QByteArray &bytes, qsizetype offset);

    /// Reads @p path into @p text and remembers its path and style; false with @p error set
    /// when the file cannot be read.
    bool load(const QString &path, QString *text, QString *error);
    /// Writes @p text to @p path in the remembered style and remembers @p path; false with
    /// @p error set when the file cannot be written.
    bool save(const QString &path, const QString &text, QString *error);

    QString path() const { return m_path; }
    LineEnding lineEnding() const { return m_lineEnding; }
    void setLineEnding(LineEnding style) { m_lineEnding = style; }

private:
    QString m_path;
    LineEnding m_lineEnding = LineEnding::Lf;
};
