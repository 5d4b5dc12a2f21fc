#include "platform/textcoding.h"

#include <QByteArray>
#include <QString>
#include <langinfo.h>
#include <string_view>

namespace platform {

namespace {

// Length of the valid UTF-8 character at p (1 to 4), or 0 when the bytes are not one.
int utf8CharLength(const unsigned char *p, const unsigned char *end)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    int n = 0;
    char32_t min = 0;
    char32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2, min = 0x80, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3, min = 0x800, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4, min = 0x10000, cp = c & 0x07;
    } else {
        return 0;
    }
    if (end - p < n)
        return 0;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

constexpr char16_t EscapeBase = 0xDC80; // lone low surrogates never come out of valid text

} // namespace

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

std::u16string editorText(std::string_view bytes)
{
    if (systemCoding() != TextCoding::Utf8)
        return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()))
            .toStdU16String();
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    auto p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto end = p + bytes.size();
    while (p < end) {
        const unsigned char *run = p;
        int n = 0;
        while (p < end && (n = utf8CharLength(p, end)) > 0)
            p += n;
        if (p > run)
            out += QString::fromUtf8(reinterpret_cast<const char *>(run), p - run);
        if (p < end)
            out += QChar(char16_t(EscapeBase + *p++ - 0x80));
    }
    return out.toStdU16String();
}

std::string editorBytes(std::u16string_view text16)
{
    const QStringView text(text16.data(), static_cast<qsizetype>(text16.size()));
    if (systemCoding() != TextCoding::Utf8)
        return text.toLocal8Bit().toStdString();
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()) * 3 / 2);
    qsizetype runStart = 0;
    auto flush = [&](qsizetype upTo) {
        if (upTo > runStart)
            out += text.mid(runStart, upTo - runStart).toUtf8().toStdString();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const bool lowSurrogate = u >= 0xDC00 && u <= 0xDFFF;
        const bool paired = i > 0 && text[i - 1].isHighSurrogate();
        if (u >= EscapeBase && u <= EscapeBase + 0x7F && lowSurrogate && !paired) {
            flush(i);
            out += static_cast<char>(u - EscapeBase + 0x80);
            runStart = i + 1;
        }
    }
    flush(text.size());
    return out;
}

} // namespace platform
