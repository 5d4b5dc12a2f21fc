#include "platform/textcoding.h"

#include "editortext.h"

#include <QByteArray>
#include <QString>
#include <langinfo.h>
#include <string_view>

namespace platform {

TextCoding systemCoding()
{
    const char *name = nl_langinfo(CODESET);
    const std::string_view codeset = name ? std::string_view(name) : std::string_view();
    if (codeset == "UTF-8" || codeset == "utf8" || codeset == "UTF8")
        return TextCoding::Utf8;
    if (codeset == "SHIFT_JIS" || codeset == "SJIS" || codeset == "CP932" ||
        codeset == "WINDOWS-31J")
        return TextCoding::ShiftJis;
    return TextCoding::Other;
}

std::string systemText(std::string_view utf8)
{
    if (systemCoding() == TextCoding::Utf8)
        return std::string(utf8);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
        .toLocal8Bit()
        .toStdString();
}

std::u16string editorText(std::string_view bytes, TextCoding coding)
{
    if (coding == TextCoding::Utf8)
        return editortext::decode(bytes, editortext::decodeUtf8);
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .toStdU16String();
}

std::string editorBytes(std::u16string_view text, TextCoding coding)
{
    if (coding == TextCoding::Utf8)
        return editortext::encode(text, editortext::encodeUtf8);
    return QStringView(text.data(), static_cast<qsizetype>(text.size()))
        .toLocal8Bit()
        .toStdString();
}

} // namespace platform
