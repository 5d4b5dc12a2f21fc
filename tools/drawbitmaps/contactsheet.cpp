#include "contactsheet.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

QImage ContactSheet::render(const QList<Item> &items, int scale, int perRow)
{
    if (items.isEmpty() || scale < 1 || perRow < 1)
        return {};
    int largest = 0;
    for (const Item &item : items)
        largest = std::max({largest, item.picture.width(), item.picture.height()});
    const int margin = 12;
    const int labelHeight = 22;
    const int cell = largest * scale;
    const int columns = std::min<int>(perRow, int(items.size()));
    const int rows = int((items.size() + perRow - 1) / perRow);

    QImage sheet(margin + columns * (cell + margin), margin + rows * (cell + labelHeight + margin),
                 QImage::Format_RGB32);
    // A mid blue that none of the bitmaps uses, so their edges stand out.
    sheet.fill(QColor(70, 90, 120));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    QFont font;
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (int i = 0; i < items.size(); ++i) {
        const int left = margin + (i % perRow) * (cell + margin);
        const int top = margin + (i / perRow) * (cell + labelHeight + margin);
        const QImage &picture = items[i].picture;
        painter.drawImage(QRect(left, top, picture.width() * scale, picture.height() * scale),
                          picture);
        painter.drawText(QRect(left, top + cell, cell, labelHeight), Qt::AlignCenter,
                         items[i].label);
    }
    return sheet;
}
