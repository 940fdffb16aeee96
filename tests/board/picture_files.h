#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>

// Small valid picture files of each format the board reads, made by the tests themselves.
QByteArray BitmapBytes(QSize size, QColor color);
QByteArray IconBytes(QSize size, QColor color);
// An icon file holding one image of each size, in this order.
QByteArray MultiIconBytes(QSize first, QSize second, QColor color);
// A metafile of `size` pixels at 96 dpi that draws one rectangle.
QByteArray EmfBytes(QSize size);
// `unitsPerInch` is the metafile's own resolution: the drawing is size * unitsPerInch / 96 units.
QByteArray WmfBytes(QSize size, int unitsPerInch = 1440);

void WriteFile(const QString& path, const QByteArray& bytes);
