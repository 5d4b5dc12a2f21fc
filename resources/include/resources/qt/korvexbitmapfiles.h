#pragma once

#include <QByteArray>

/// The .bmp file of bitmap @p id, embedded in the library; empty for an id it does not have.
QByteArray korvexBitmapFile(int id);
