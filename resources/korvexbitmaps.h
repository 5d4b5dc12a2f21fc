#pragma once

#include <QByteArray>
#include <span>

/// Ids of the toolbar bitmaps embedded in the library, ascending: 101, 104, 105-109, 111-117.
std::span<const int> korvexBitmapIds();

/// The embedded .bmp file of bitmap @p id; empty for an id the library does not have.
QByteArray korvexBitmapFile(int id);
