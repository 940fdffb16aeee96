#pragma once

#include <QString>

// A group picture chosen anywhere, as the board finds it: by a bare name in the img folder.
struct ImportedPicture {
    QString name;    // the name in `imgFolder`; empty when it could not be placed there
    QString reason;  // why not, for the user
};

// The chosen picture's name in `imgFolder` (ending in its separator): its own when it lies there or
// the file of that name there holds the same bytes; otherwise it is copied there under its name,
// cut to `maxBytes` code-page bytes and numbered ("_2") when another file has the name.
ImportedPicture ImportPicture(const QString& chosen, const QString& imgFolder, int maxBytes);
