#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QString>

// A picture file read by its extension, at the picture's own size: .bmp and .ico through Qt's image
// readers, .emf and .wmf converted to SVG and drawn by Qt. Any failure (no such file, a damaged
// file, another extension) gives a null pixmap.
QPixmap LoadPicture(const QString& path);
// The same as an image, for the threads that may not make pixmaps.
QImage LoadPictureImage(const QString& path);
// A Windows metafile (`emf` false) or an enhanced metafile (`emf` true) held in memory, drawn as
// LoadPicture draws the files; a null image when it cannot be.
QImage MetafileImage(const QByteArray& bytes, bool emf);

// Reads each picture file once and hands out the same pixmap while the file stays unchanged (same
// size and modification time), so that a board of many groups sharing a picture decodes it once.
class PictureCache {
public:
    QPixmap Load(const QString& path);

private:
    struct Entry {
        QDateTime modified;
        qint64 size = 0;
        QPixmap pixmap;
    };
    QHash<QString, Entry> entries_;
};
