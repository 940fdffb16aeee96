#pragma once

#include <QString>
#include <QTemporaryDir>
#include <string>
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

// Full code-page paths of `count` drawing files with Japanese names and four extensions in
// `folder`; the files are created only when `create` is true.
std::vector<std::string> DrawingFilePaths(const QString& folder, int count, bool create);

// One folder per group count for the whole run, filled on first use, with its settings file.
const BenchFolder& FolderWithGroups(int count);

// 10,000 groups (1,000 over a link) with 20 registered files each: file n of all is
// "平面図_<n in six digits>.dwg" in "/srv/図面/案件<group in five digits>/". Made once per run.
inline int LargeLibraryGroups() {
    return Sized(10000, 1000);
}
inline constexpr int kLargeLibraryFilesPerGroup = 20;
const BenchFolder& LargeLibrary();
