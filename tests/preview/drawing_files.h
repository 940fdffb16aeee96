#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

// Files of every kind the thumbnails are made of, written by the tests themselves.

// A picture of one colour with a black frame, `width` x `height`.
QImage FramedPicture(QColor colour, int width = 96, int height = 64);

// A device-independent bitmap as drawings keep it: a .bmp file without its 14-byte file header.
QByteArray BareBitmap(const QImage& picture);
QByteArray PngBytes(const QImage& picture);

// A DWG file of release 2000 whose header points to image data holding header data and the given
// pictures (either may be empty), with `drawingBytes` of drawing after them.
QByteArray DwgWithPreview(const QByteArray& bitmap, const QByteArray& png, int drawingBytes = 4096);
// An ASCII DXF file (CR LF) with `entities` LINE entities and, unless `thumbnail` is empty, a
// THUMBNAILIMAGE section holding it in hexadecimal; `declared` overrides its group 90 when not -1.
QByteArray DxfWithThumbnail(const QByteArray& thumbnail, int entities = 50, qint64 declared = -1);

// A PDF of one page filled with `colour`, made by Qt's own PDF writer.
void WritePdf(const QString& path, QColor colour);
// A PDF whose page draws a form that draws another ten times, nine forms deep: a thousand million
// rectangles, which keep a PDF reader busy for as long as it is let.
QByteArray PdfThatNeverEnds();
// An SVG drawing of a rectangle of `colour`.
QByteArray SvgOf(QColor colour);

bool WriteBytes(const QString& path, const QByteArray& bytes);

// Names of the longest real shape: Japanese CP932 text whose every character has 0x5C as its second
// byte (表, ソ, 能), as long as the file system takes.
QString LongJapaneseName(const QString& extension);
// A folder under `base`, made, whose path with its final separator is 255 bytes in CP932.
QString LongJapaneseFolder(const QString& base);
