#pragma once

#include <QStringList>

class QMimeData;

// What a file manager drops: the local files and the local folders among its URLs, in the order
// dropped, as local paths. Other URLs are left out.
struct DroppedItems {
    QStringList files;
    QStringList folders;
};

DroppedItems SplitDroppedItems(const QMimeData& data);
// True when a drag carries at least one local file or folder: only such a drag may be dropped.
bool CarriesLocalFiles(const QMimeData& data);
