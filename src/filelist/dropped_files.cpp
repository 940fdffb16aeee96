#include "filelist/dropped_files.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

DroppedItems SplitDroppedItems(const QMimeData& data) {
    DroppedItems items;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile()) {
            continue;
        }
        const QString path = url.toLocalFile();
        (QFileInfo(path).isDir() ? items.folders : items.files) << path;
    }
    return items;
}

bool CarriesLocalFiles(const QMimeData& data) {
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            return true;
        }
    }
    return false;
}
