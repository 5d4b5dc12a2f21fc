#pragma once

#include <QImage>
#include <QList>
#include <QString>

/// A review picture: every bitmap enlarged with a label, on one image.
class ContactSheet
{
public:
    struct Item
    {
        QString label;
        QImage picture;
    };

    /// @p items in rows of @p perRow, each enlarged @p scale times without smoothing and
    /// labelled underneath. Needs a QGuiApplication for the label font.
    static QImage render(const QList<Item> &items, int scale = 8, int perRow = 7);
};
