#include "documentfile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct EndingCase
{
    const char *bytes;
    LineEnding style;
    const char *text; // editor text, breaks as "\n"
};

TEST(DocumentFile, DetectsStyleAndDecodesEveryBreakAsOne)
{
    const EndingCase cases[] = {
        {"a\r\nb\r\n", LineEnding::CrLf, "a\nb\n"},   {"a\nb", LineEnding::Lf, "a\nb"},
        {"\r\nx", LineEnding::CrLf, "\nx"},           {"no break", LineEnding::Lf, "no break"},
        {"a\rb\nc\r\n", LineEnding::Lf, "a\nb\nc\n"}, {"a\n\rb", LineEnding::Lf, "a\n\nb"},
    };
    for (const EndingCase &c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(DocumentFile::detectLineEnding(c.bytes), c.style);
        EXPECT_EQ(DocumentFile::decode(c.bytes), QString::fromUtf8(c.text));
    }
}

TEST(DocumentFile, SavesInTheStyleItWasLoadedWith)
{
    QTemporaryDir dir;
    for (const QByteArray &original : {QByteArray("one\r\ntwo\r\n"), QByteArray("one\ntwo\n")}) {
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(original);
        file.close();
        DocumentFile document;
        QString text;
        QString error;
        ASSERT_TRUE(document.load(path, &text, &error)) << error.toStdString();
        ASSERT_TRUE(document.save(path, text + QStringLiteral("three\n"), &error));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray expected =
            original + (original.contains('\r') ? QByteArray("three\r\n") : "three\n");
        EXPECT_EQ(file.readAll(), expected);
        file.close();
    }
}

TEST(DocumentFile, ReportsAnUnreadableFile)
{
    DocumentFile document;
    QString text;
    QString error;
    EXPECT_FALSE(document.load(QStringLiteral("/nonexistent/doc.txt"), &text, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent/doc.txt")));
}

TEST(DocumentFile, MapsByteOffsetsToEditorPositions)
{
    const QByteArray bytes("ab\r\ncd\né");
    EXPECT_EQ(DocumentFile::positionOfByte(bytes, 0), 0);
    EXPECT_EQ(DocumentFile::positionOfByte(bytes, 4), 3); // after CR LF, which is one break
    EXPECT_EQ(DocumentFile::positionOfByte(bytes, 7), 6);
    EXPECT_EQ(DocumentFile::positionOfByte(bytes, bytes.size()), 7); // é is two bytes
}

} // namespace
