#pragma once

#include <QImage>
#include <QString>

// What the program can draw of a file itself, fitted into `side` x `side` pixels (never enlarged);
// a null image when it cannot. Each reads only what it needs of the file.

// A DWG's or DXF's own preview, its bytes found apart from the program (the readers take outside
// bytes), the picture then drawn as the picture files are.
QImage DrawingPreview(const QString& path, int side);
// An image through Qt's readers (the program's own for .bmp, .ico, .emf and .wmf), an SVG drawing.
QImage OwnPicture(const QString& path, int side);
// The first page of a PDF. The PDF engine is not thread-safe: one thread at a time may call this.
QImage PdfFirstPage(const QString& path, int side);

// Which of those reads the file, by its extension.
enum class PictureSource { Drawing, Own, Pdf, None };
PictureSource SourceOf(const QString& path);

// `picture` fitted into `side` x `side` pixels, smoothly, keeping its proportions; never enlarged.
QImage Fitted(const QImage& picture, int side);
