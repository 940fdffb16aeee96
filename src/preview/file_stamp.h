#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A file's modification time (whole seconds) and size: a thumbnail stays true to the file while
// they stay.
struct FileVersion {
    qint64 modified = -1;
    qint64 size = -1;

    bool operator==(const FileVersion&) const = default;
};

// A file as the desktop's thumbnail cache knows it: by its canonical URI, and fresh while its
// modification time (whole seconds) and size stay.
struct FileStamp {
    QString path;
    QByteArray uri;
    qint64 modified = 0;
    qint64 size = 0;

    FileVersion Version() const { return {modified, size}; }
};

// The stamp of the regular file at `path` (one stat); nothing when there is none.
std::optional<FileStamp> StampOf(const QString& path);

// The canonical URI of an absolute local path: "file://" and the path's bytes in the file system's
// encoding, every byte but RFC 2396's unreserved ones and those a path may hold as they are
// ("/:@&=+$,") written as %XX in upper case, as the desktop's file managers name their thumbnails.
QByteArray CanonicalFileUri(const QString& path);
// The same for one file name alone, as a shared thumbnail folder beside the files names it.
QByteArray EscapedUriSegment(const QString& fileName);
// The name of a thumbnail in the cache: the MD5 of the URI in lower-case hex, then ".png".
QString ThumbnailFileName(const QByteArray& uri);
