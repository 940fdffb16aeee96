#pragma once

#include <array>
#include <string>

// The texts of one file list row, as code-page bytes: the caption and the four sub-texts, and the
// registration they show.
struct FileRowTexts {
    std::string fileName;  // the caption
    std::string folder;    // ends in the folder separator
    std::string size;      // bytes in decimal, "0" for a missing file
    std::string time;      // last write, or "<No File>"
    std::string number;    // the row's N in decimal
    // The row's file name and folder as stored with its number: what a removal names. The folder
    // shown is the stored one as it stands on this desktop.
    std::string storedFileName;
    std::string storedFolder;
};

// The list columns, in their order.
enum FileListColumn : int {
    kColumnFileName,
    kColumnFolder,
    kColumnSize,
    kColumnTime,
    kColumnNumber,
    kColumnCount
};

// The row's texts in column order, as pointers into `texts`.
template <typename Texts>
auto ColumnTexts(Texts& texts) {
    return std::array{&texts.fileName, &texts.folder, &texts.size, &texts.time, &texts.number};
}
