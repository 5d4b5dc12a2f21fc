#include "bitmapset.h"

#include "bmpencoder.h"

#include <QSet>
#include <array>

namespace {

using Look = GemPainter::Look;

constexpr std::array<BitmapSet::Entry, 14> allEntries = {{
    {101, 16, 4, Look::Flat},
    {104, 24, 4, Look::Flat},
    {105, 16, 8, Look::Disabled},
    {106, 16, 8, Look::Normal},
    {107, 16, 8, Look::Highlighted},
    {108, 16, 24, Look::Disabled},
    {109, 16, 24, Look::Normal},
    {111, 16, 24, Look::Highlighted},
    {112, 24, 8, Look::Disabled},
    {113, 24, 8, Look::Normal},
    {114, 24, 8, Look::Highlighted},
    {115, 24, 24, Look::Disabled},
    {116, 24, 24, Look::Normal},
    {117, 24, 24, Look::Highlighted},
}};

} // namespace

std::span<const BitmapSet::Entry> BitmapSet::entries()
{
    return allEntries;
}

QList<QRgb> BitmapSet::windowsPalette16()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QList<QRgb> BitmapSet::palette(const Entry &entry, const QImage &picture)
{
    if (entry.bitsPerPixel == 4)
        return windowsPalette16();
    if (entry.bitsPerPixel != 8)
        return {};
    QList<QRgb> colours;
    QSet<QRgb> seen;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb rgb = picture.pixel(x, y) & RGB_MASK;
            if (!seen.contains(rgb)) {
                seen.insert(rgb);
                colours.append(rgb);
            }
        }
    }
    return colours;
}

QByteArray BitmapSet::file(const Entry &entry)
{
    const QImage picture = GemPainter::draw(entry.size, entry.look);
    return BmpEncoder::encode(picture, entry.bitsPerPixel, palette(entry, picture));
}

QString BitmapSet::fileName(int id)
{
    return QStringLiteral("bmp%1.bmp").arg(id);
}
