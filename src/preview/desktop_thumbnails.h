#pragma once

#include <QImage>
#include <QString>

#include "preview/file_stamp.h"

// The desktop's thumbnail cache as the freedesktop Thumbnail Managing Standard lays it out:
// <root>/{normal,large,x-large,xx-large}/<MD5 of the URI>.png, PNG files whose text keys
// Thumb::URI, Thumb::MTime and (where present) Thumb::Size say which file, as it was, they show; and
// <root>/fail/<program>-<version>/<size folder>/ noting the files this program could make none of at
// that size. The shared
// folder .sh_thumbnails beside the files is read, never written.
class DesktopThumbnails {
public:
    // `root` is the cache's folder; `failFolderName` names this program's folder under fail/.
    DesktopThumbnails(QString root, QString failFolderName);
    // This user's cache ($XDG_CACHE_HOME/thumbnails, else ~/.cache/thumbnails), this program's
    // failures noted under qarto-groups-<version>.
    static DesktopThumbnails ForThisUser();

    // The side of the cache folder that thumbnails of `size` pixels are read from and written to:
    // 128, 256, 512 or 1024.
    static int FolderSide(int size);

    // A valid thumbnail of the file at least `size` pixels on its longer side where there is one
    // (this user's cache first, then the shared folder beside the file), scaled to fit `size`; a
    // null image when there is none or the one there is stale or damaged.
    QImage Find(const FileStamp& file, int size) const;
    // Writes `picture` as the file's thumbnail of the folder of `size`, scaled to fit the folder's
    // side unless it fits already, with the standard's keys; through a temporary file renamed into
    // place, folders 0700, file 0600. False when it could not be written.
    bool Store(const FileStamp& file, const QImage& picture, const QString& mimeType, int size) const;
    // Notes that no thumbnail of `size` can be made of the file as it is now.
    bool NoteFailure(const FileStamp& file, int size) const;
    // True when this program noted a failure at `size` for the file as it is now (same time and
    // size).
    bool FailedBefore(const FileStamp& file, int size) const;
    // True for files inside the cache itself, of which no thumbnails are made.
    bool Holds(const QString& path) const;

    const QString& Root() const { return root_; }

private:
    QString root_;
    QString failFolder_;
};
