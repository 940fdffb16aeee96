#pragma once

#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "bench_link.h"
#include "common/connection_settings.h"

// A program folder of its own in a temporary place: the path the executable would have, its
// img/icon1.ico, and a database DB.FDB with an empty master table beside them: embedded, or on the
// benchmarks' server (see bench_link.h).
class BenchFolder {
public:
    BenchFolder();

    QString FilePath(const QString& name) const { return dir_.filePath(name); }
    QString ExecutablePath() const { return FilePath(QStringLiteral("qarto-groups")); }
    const ConnectionSettings& Settings() const { return settings_; }
    // Where what is measured reaches the database (over the link, when the benchmarks run over one).
    std::string DatabasePath() const { return settings_.DatabasePath(); }
    // Where the data is made: straight to the database.
    std::string SetupPath() const { return SetupPrefix() + settings_.dataFolder + settings_.databaseName; }
    // The settings file beside the would-be executable, naming this folder's database.
    void WriteSettingsFile() const;

private:
    QTemporaryDir dir_;
    ConnectionSettings settings_;
};

// Master rows 1 to `count` as a user fills them in: Japanese names and titles, the default
// picture, icons on a grid.
void AddGroups(const BenchFolder& folder, int count);
// Creates the file table of `group` holding `paths` (code-page bytes) as rows 1, 2, ...
void AddFileTable(const BenchFolder& folder, int group, const std::vector<std::string>& paths);
// The same for files stored as (folder, file name), the folder as another desktop may have written it.
void AddFileTable(const BenchFolder& folder, int group,
                  const std::vector<std::pair<std::string, std::string>>& folderAndName);

// Names as real offices keep them: Japanese with spaces and with characters whose second byte is a
// backslash (表, ソ, 能), as long as the columns hold (255 bytes of CP932), or, for files that exist, as
// long as this disk lets a name be (its UTF-8 form within 255 bytes).
inline constexpr std::size_t kColumnBytes = 255;
inline constexpr std::size_t kNameOnDiskBytes = 165;
// A name of exactly `bytes` code-page bytes ending in `ending` (UTF-8).
std::string LongName(std::size_t bytes, std::string_view ending);
// The code-page path of a folder in `base` (UTF-8, ending in "/") that is exactly `bytes` long with
// its closing "/", its own names short enough for the disk; the last one ends in `ending`.
std::string LongFolder(const QString& base, std::size_t bytes, std::string_view ending);

// Full code-page paths of `count` drawing files with long Japanese names and four extensions in a
// long folder in `folder`; the files (and the folder) are created only when `create` is true.
std::vector<std::string> DrawingFilePaths(const QString& folder, int count, bool create);

// One folder per group count for the whole run, filled on first use, with its settings file.
const BenchFolder& FolderWithGroups(int count);

// A library of groups each with a file table of its own: file n of all is a long name ending in
// "平面図_<n in six digits>.dwg", in a long folder under "/srv/図面/" ending in "案件<group in five
// digits>/". Each is made once per run, and kept for later runs where QARTO_BENCH_CACHE says.
struct LibrarySize {
    int groups;
    int filesPerGroup;
    long long Registrations() const { return static_cast<long long>(groups) * filesPerGroup; }
};
const BenchFolder& Library(const LibrarySize& size);

// 10,000 groups (1,000 over a link) with 20 registered files each.
inline int LargeLibraryGroups() {
    return Sized(10000, 1000);
}
inline constexpr int kLargeLibraryFilesPerGroup = 20;
inline LibrarySize LargeLibrarySize() {
    return {LargeLibraryGroups(), kLargeLibraryFilesPerGroup};
}
inline const BenchFolder& LargeLibrary() {
    return Library(LargeLibrarySize());
}
// A large office's library: 20,000 groups with 50 registered files each, a million in all; not
// measured over a link.
inline LibrarySize MillionLibrarySize() {
    return {20000, 50};
}
// The libraries an operation is measured at: the large one, and the million where no link slows it.
template <typename Benchmark>
Benchmark* AtLibrarySizes(Benchmark* benchmark) {
    benchmark->Arg(LargeLibraryGroups());
    return OverLink() ? benchmark : benchmark->Arg(MillionLibrarySize().groups);
}
