#pragma once

#include <QImage>
#include <QString>
#include <span>

// What the program draws of a file itself, each kind of file in one row: the files it takes (by
// extension), the letter that names it in the picture reader's requests, the lane of the thumbnail
// workers that waits for it, and how it is drawn. Every one is drawn in the picture reader, a
// program of its own kept apart from the windows (see picture_reader.h): a file that crashes a
// reader or keeps it busy costs that file's picture alone. A source that finds no picture in a file
// says that the file cannot be drawn; a file that could not be read through, a reader that crashed
// or took too long, is of the moment (DrawApart).
enum class PictureLane { General, Pdf };  // PDF pages take long: they wait in a lane of their own

struct PictureSource {
    char letter;
    const char* extensions;  // lower case, each followed by a blank; "*" for every format Qt reads
    PictureLane lane;
    // The file's picture fitted into `side` x `side` pixels (never enlarged), or a null image; reads
    // only what it needs of the file.
    QImage (*draw)(const QString& path, int side);
};

std::span<const PictureSource> PictureSources();
// The first source that takes the file, by its extension; null when none does.
const PictureSource* SourceOf(const QString& path);
const PictureSource* SourceOfLetter(char letter);
// The lane that waits for the file's thumbnail.
PictureLane LaneOf(const QString& path);

// `picture` fitted into `side` x `side` pixels, smoothly, keeping its proportions; never enlarged.
QImage Fitted(const QImage& picture, int side);
