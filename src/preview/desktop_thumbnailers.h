#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <chrono>
#include <vector>

#include "preview/picture_reader.h"

// The desktop's own thumbnail programs: the [Thumbnailer Entry] files *.thumbnailer in the
// thumbnailers folder of each XDG data folder ($XDG_DATA_HOME first, then $XDG_DATA_DIRS; an entry
// of an earlier folder hides one of the same file name in a later one), each naming the MIME types
// it draws and the command line that draws one (%i the input path, %u its URI, %o the output PNG,
// %s the size, %% a percent sign). An entry that puts %i, %o or %u inside a quoted word is not used:
// a path would be read there as part of a longer text (a shell's command, say), which desktop
// entries forbid.
class DesktopThumbnailers {
public:
    struct Entry {
        QStringList command;  // the Exec line split into its words, placeholders not yet filled
        QStringList mimeTypes;
    };

    // The entries found in `dataFolders`, in that order of precedence.
    explicit DesktopThumbnailers(const QStringList& dataFolders);
    static QStringList DataFoldersOfThisUser();

    const std::vector<Entry>& Entries() const { return entries_; }
    // The first entry that draws files of `mimeType`, or null.
    const Entry* For(const QString& mimeType) const;

    // Runs `entry` for the file, with the memory cap of work run apart, in a process group of its
    // own that is ended with whatever it started; killed after `timeLimit`. The picture it wrote;
    // none for the moment when it could not start, crashed or took too long.
    static Drawing Run(const Entry& entry, const QString& path, const QByteArray& uri, int size,
                       std::chrono::milliseconds timeLimit);

private:
    std::vector<Entry> entries_;
};

// True when a quoted word of a desktop entry's Exec value holds %i, %o or %u.
bool FieldCodeInQuotes(const QString& exec);
// The words of a desktop entry's Exec value: split at blanks, double quotes grouping words with
// their backslash escapes.
QStringList ExecWords(const QString& exec);
