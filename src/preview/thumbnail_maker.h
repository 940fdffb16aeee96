#pragma once

#include <QImage>
#include <QString>

#include "preview/desktop_thumbnailers.h"
#include "preview/desktop_thumbnails.h"

// Finds or makes the thumbnail of one file, trying in this order: the desktop's cache (and the
// shared folder beside the file), the preview a drawing carries, what the program draws itself
// (images, SVG, a PDF's first page), the desktop's thumbnail programs. What it makes goes into the
// desktop's cache; a file nothing could draw is noted as a failure there and not tried again until
// it changes. Safe to call from several threads at once, except for PDF files: see PdfFirstPage.
class ThumbnailMaker {
public:
    ThumbnailMaker(DesktopThumbnails cache, DesktopThumbnailers thumbnailers);

    // The file's thumbnail fitted into `size` x `size` pixels, or a null image.
    QImage Make(const QString& path, int size) const;

    const DesktopThumbnails& Cache() const { return cache_; }

private:
    QImage Draw(const QString& path, const QByteArray& uri, int side, QString& mimeType) const;

    DesktopThumbnails cache_;
    DesktopThumbnailers thumbnailers_;
};

// How long a desktop thumbnail program may take.
inline constexpr std::chrono::milliseconds kThumbnailerTimeLimit{5000};
