#pragma once

#include "filelist/file_row.h"

// The file list's sort order for a clicked column: negative, zero or positive when `item1` goes
// before, with or after `item2`. Texts compare byte by byte with only a-z folded to A-Z, a prefix
// before the longer text; size and number compare as numbers. Always ascending.
int ListView1Compare(const FileRowTexts& item1, const FileRowTexts& item2, int sortColumn);
