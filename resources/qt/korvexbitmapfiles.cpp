#include "korvexbitmapfiles.h"

#include "resources/korvexbitmaps.h"

#include <QFile>
#include <algorithm>

QByteArray korvexBitmapFile(int id)
{
    if (!std::ranges::binary_search(korvexBitmapIds(), id))
        return {};
    QFile file(QStringLiteral(":/korvex/bitmaps/bmp%1.bmp").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
