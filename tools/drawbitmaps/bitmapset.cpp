#include "bitmapset.h"

#include "bmpencoder.h"

#include <QSet>

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
