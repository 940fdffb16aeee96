#pragma once

#include <QImage>
#include <QString>
#include <chrono>
#include <optional>

#include "preview/desktop_thumbnailers.h"
#include "preview/desktop_thumbnails.h"
#include "preview/file_stamp.h"

struct Drawing;

// How long a file's picture may take to draw, unless the maker is told otherwise.
inline constexpr std::chrono::milliseconds kPictureTimeLimit{5000};

// A thumbnail as made, with the file it was made of.
struct MadeThumbnail {
    QImage picture;          // null when there is none
    FileVersion file;        // the file as it was when looked at; the default when there was none
    bool forNow = false;     // none for a reason of the moment: worth asking for again
    bool unchanged = false;  // the file is as the caller knew it: nothing else was looked at
};

// Finds or makes the thumbnail of one file, trying in this order: the desktop's cache (and the
// shared folder beside the file), what the program draws itself (a drawing's own preview, images,
// SVG, a PDF's first page: see picture_sources.h), the desktop's thumbnail programs. What it makes
// goes into the desktop's cache; a file nothing could draw is noted as a failure there for that
// size, and not tried again at that size until it changes. A failure of the moment (a time-out, a
// crash, a file that could not be read) is never noted. Safe to call from several threads at once.
class ThumbnailMaker {
public:
    // `timeLimit`: how long one file's picture may take to draw.
    ThumbnailMaker(DesktopThumbnails cache, DesktopThumbnailers thumbnailers,
                   std::chrono::milliseconds timeLimit = kPictureTimeLimit);

    // The file's thumbnail fitted into `size` x `size` pixels. With `known`, a file that is as known
    // is answered `unchanged` after one look at it.
    MadeThumbnail Make(const QString& path, int size, const std::optional<FileVersion>& known = {}) const;

    const DesktopThumbnails& Cache() const { return cache_; }

private:
    Drawing Draw(const QString& path, const QByteArray& uri, int side, QString& mimeType) const;

    DesktopThumbnails cache_;
    DesktopThumbnailers thumbnailers_;
    std::chrono::milliseconds timeLimit_;
};
