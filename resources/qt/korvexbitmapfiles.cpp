#include "resources/qt/korvexbitmapfiles.h"

#include "resources/korvexbitmaps.h"

#include <QFile>
#include <algorithm>

QByteArray korvexBitmapFile(int id)
{
    if (std::ranges::none_of(korvexBitmaps(), [id](const KorvexBitmap &b) { return b.id == id; }))
        return {};
    QFile file(QStringLiteral(":/korvex/bitmaps/bmp%1.bmp").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
