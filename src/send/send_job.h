#pragma once

#include <sys/stat.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/folder_mapping.h"
#include "send/drawing_list.h"
#include "send/package_plan.h"
#include "send/package_sink.h"

enum class PackageKind { Folder, Zip };

// What the user chose in the sending dialog.
struct SendChoices {
    PackageKind kind = PackageKind::Folder;
    std::string where;  // the folder the package goes into, in the file system's encoding
    std::string name;   // the package's name (code-page bytes), without ".zip"
    FolderLayout layout = FolderLayout::Flat;
    bool csv = true;
    bool pdf = true;
    CsvEncoding csvEncoding = CsvEncoding::Utf8WithBom;
    ZipNames zipNames = ZipNames::Utf8;
};

// What a file was when it was looked at: its size and last write.
struct FileStamp {
    std::int64_t size = 0;
    std::int64_t seconds = 0;  // since 1970
    long nanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const struct stat& facts);

// A registered file as found before the copying: its file on this machine and whether it is there.
struct SurveyedFile {
    StoredFile stored;
    std::string source;  // the file system's encoding
    bool present = false;
    FileStamp stamp;
};

struct Survey {
    std::vector<SurveyedFile> files;
    int missing = 0;
    bool targetExists = false;
};

// The package's path: the folder, or the ZIP file with ".zip".
std::string TargetPath(const SendChoices& choices);
// The names the drawing lists take at the package's top: "図面リスト.csv", "図面リスト.pdf".
std::vector<std::string> ListFileNames(const SendChoices& choices);

// Looks at every file and at the target, on the calling thread (a worker: shares may be slow).
Survey SurveyFiles(const std::vector<StoredFile>& files, const FolderMappings& mappings,
                   const SendChoices& choices, const std::atomic<bool>& cancel);

struct SendProgress {
    int filesDone = 0;
    int files = 0;
    std::int64_t bytesDone = 0;
    std::int64_t bytes = 0;
    std::string current;    // UTF-8 name of the file under way
    bool checking = false;  // reading the package back
};

enum class SendResult { Made, Cancelled, Failed };

struct SendOutcome {
    SendResult result = SendResult::Failed;
    std::string words;  // what went wrong, for the user
    DrawingList list;
    std::string listSha256;   // of the first list file written
    std::string packageName;  // with ".zip" for a ZIP file, code-page bytes
};

// The list's texts that do not come from the files.
using ListMaker = std::function<std::string(const DrawingList& list)>;

struct SendJob {
    Survey survey;
    SendChoices choices;
    DrawingList list;      // heading filled in; the rows are made here
    bool replace = false;  // the user agreed to replace an existing target
    std::string notes;     // the folder of this desktop's notes of packages under way
    ListMaker pdf;         // the PDF of a list; empty bytes when it cannot be made
};

// Writes the package under a temporary name beside the target, copying the files that are there with
// their modification times (the originals only read), the drawing lists after them; reads it all back
// and compares every file's SHA-256; then gives it its name. Nothing is left under the target's name
// unless all of this succeeded; a file that is no longer what the survey saw fails it. `tell` hears of
// the progress from the calling thread.
SendOutcome WritePackage(const SendJob& job, const std::atomic<bool>& cancel,
                         const std::function<void(const SendProgress&)>& tell);
