#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <chrono>
#include <vector>

// The desktop's own thumbnail programs: the [Thumbnailer Entry] files *.thumbnailer in the
// thumbnailers folder of each XDG data folder ($XDG_DATA_HOME first, then $XDG_DATA_DIRS; an entry
// of an earlier folder hides one of the same file name in a later one), each naming the MIME types
// it draws and the command line that draws one (%i the input path, %u its URI, %o the output PNG,
// %s the size, %% a percent sign).
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

    // Runs `entry` for the file, with the memory cap of work run apart, killed after `timeLimit`;
    // the picture it wrote, or a null image.
    static QImage Run(const Entry& entry, const QString& path, const QByteArray& uri, int size,
                      std::chrono::milliseconds timeLimit);

private:
    std::vector<Entry> entries_;
};

// The words of a desktop entry's Exec value: split at blanks, double quotes grouping words with
// their backslash escapes.
QStringList ExecWords(const QString& exec);
