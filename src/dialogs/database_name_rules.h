#pragma once

#include <QString>

// An entry that holds nothing but blanks and control characters (codes 32 and below) counts as empty.
bool IsBlankEntry(const QString& text);

// The database file name as stored from what was typed: upper-cased as the user's locale does it,
// with ".FDB" appended when it has no extension. It has one when the last full stop, backslash,
// colon or folder separator in it is a full stop, even a full stop at the very end.
QString DatabaseFileName(const QString& typed);
