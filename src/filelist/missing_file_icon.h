#pragma once

#include <QIcon>

// The picture of a file that is not where it was looked for: its kind's plain icon with a red mark
// across its lower corner, at every side the icon view shows.
QIcon MissingFileIcon(const QIcon& typeIcon);
