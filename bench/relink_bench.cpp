// The missing-file scan over 200,000 registrations (half of them missing) and relinking 2,000 missing
// files against a tree of 100,000 files, beside the same statements and existence checks done
// directly. Each also reports the longest the event loop was kept waiting (counter "stall_ms"). The
// scan is measured once more over registrations stored as Windows desktops store them, under three
// folder mappings: its floor converts each path with the same function before its stat().

#include <dirent.h>
#include <sys/stat.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <set>

#include "bench_data.h"
#include "bench_program.h"
#include "bench_support.h"
#include "common/codepage.h"
#include "common/folder_mapping.h"
#include "common/sql_literal.h"
#include "direct_client.h"
#include "floor.h"
#include "relink/missing_files_window.h"
#include "relink/relink_dialog.h"
#include "storage/database.h"
#include "storage/schema.h"

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;
constexpr int kScanGroups = 200;  // the first half's files exist, the second half's are gone
constexpr int kScanRows = kScanGroups * kFilesPerFolder;
constexpr int kRelinkGroups = 2;
constexpr int kRelinked = 2000;
constexpr int kBlockRows = 2000;  // as the program reads

// Names as long as the disk allows: file 123 of the tree is this and "000123.dwg".
const std::string& TreeNameStart() {
    static const std::string start = LongName(kNameOnDiskBytes - 10, "図面_");
    return start;
}

// File `number` of the tree, as an SQL expression of the integer `number`.
std::string NameExpression(const std::string& number) {
    return SqlText(TreeNameStart()) + " || LPAD(CAST(" + number + " AS VARCHAR(10)), 6, '0') || '.dwg'";
}

// The code-page path of folder `folder` in `place` (ending in "/"), as long as the column holds.
std::string FolderIn(const QString& place, int folder) {
    char ending[16];
    std::snprintf(ending, sizeof ending, "d%03d", folder);
    return LongFolder(place, kColumnBytes, ending);
}

// The folders under "/old/archive/" the relinked files were moved away from, as an SQL expression
// of the integer `folder`.
std::string OldFolderExpression(const std::string& folder) {
    const std::string start = FolderIn(QStringLiteral("/old/archive/"), 0);
    return SqlText(start.substr(0, start.size() - 4)) + " || LPAD(CAST(" + folder +
           " AS VARCHAR(10)), 3, '0') || '/'";
}

struct RelinkData {
    QTemporaryDir tree;    // kFolders folders of kFilesPerFolder empty files
    BenchFolder scan;      // kScanGroups groups
    BenchFolder relink;    // kRelinkGroups groups of files moved away from "/old/archive/"
    std::string treeRoot;  // ends in "/"
};

// The scan's groups with Windows folders: the first half on the share \\FS01\図面\ (stored in other
// letters), mounted at the tree, the second half on the drive Z:, mounted where nothing is.
struct MappedScanData {
    BenchFolder scan;
    FolderMappings mappings;
};

// One statement per group, its rows made by a loop inside the server.
std::string FillGroup(int group, const std::string& number, const std::string& folder, int rows) {
    return "EXECUTE BLOCK AS DECLARE i INTEGER = 1; BEGIN WHILE (i <= " + std::to_string(rows) +
           ") DO BEGIN INSERT INTO " + FileTableName(group) + " VALUES (:i, " + NameExpression(number) +
           ", " + folder + "); i = i + 1; END END";
}

std::vector<std::string> GroupTables(int from, int to) {
    std::vector<std::string> tables;
    for (int group = from; group <= to; ++group) {
        tables.push_back("CREATE TABLE " + FileTableName(group) +
                         " (N INTEGER NOT NULL UNIQUE, FILE_NAME VARCHAR(255), PATH_NAME VARCHAR(255))");
    }
    return tables;
}

// The scan's groups: group n holds the names of the tree's folder (n - 1) mod 100, the first half in
// the stored folder `folderOf` gives for it where the tree is, the second half where nothing is.
void FillScanGroups(const BenchFolder& scan,
                    const std::function<std::string(bool present, int folder)>& folderOf) {
    AddGroups(scan, kScanGroups);
    DirectDatabase database(scan.SetupPath(), DirectDatabase::Open::Attach);
    database.ExecuteAll(GroupTables(1, kScanGroups));
    std::vector<std::string> rows;
    for (int group = 1; group <= kScanGroups; ++group) {
        const int folder = (group - 1) % kFolders;
        const std::string number = "(:i - 1 + " + std::to_string(folder * kFilesPerFolder) + ")";
        rows.push_back(
            FillGroup(group, number, SqlText(folderOf(group <= kFolders, folder)), kFilesPerFolder));
    }
    database.ExecuteAll(rows);
}

// The relinked groups as before every run: 2,000 files spread over the tree, every 50th.
void ResetRelinkGroups(const RelinkData& data) {
    DirectDatabase database(data.relink.SetupPath(), DirectDatabase::Open::Attach);
    const int perGroup = kRelinked / kRelinkGroups;
    for (int group = 1; group <= kRelinkGroups; ++group) {
        const std::string number = "((:i - 1 + " + std::to_string((group - 1) * perGroup) + ") * 50)";
        database.Execute("DELETE FROM " + FileTableName(group));
        database.Execute(FillGroup(group, number, OldFolderExpression(number + " / 1000"), perGroup));
    }
}

const RelinkData& Data() {
    static const std::unique_ptr<RelinkData> data = [] {
        auto made = std::make_unique<RelinkData>();
        made->treeRoot = QFile::encodeName(made->tree.path()).toStdString() + "/";
        const QString root = made->tree.path() + QLatin1Char('/');
        for (int folder = 0; folder < kFolders; ++folder) {
            const QString path = QString::fromStdString(Utf8FromCp932(FolderIn(root, folder)));
            Require(QDir().mkpath(path), "making the tree");
            for (int file = 0; file < kFilesPerFolder; ++file) {
                char number[16];
                std::snprintf(number, sizeof number, "%06d.dwg", folder * kFilesPerFolder + file);
                const QString name = QString::fromStdString(Utf8FromCp932(TreeNameStart() + number));
                Require(QFile(path + name).open(QIODevice::WriteOnly), "making a file");
            }
        }
        FillScanGroups(made->scan, [&root](bool present, int folder) {
            return FolderIn(present ? root : QStringLiteral("/gone/"), folder);
        });
        AddGroups(made->relink, kRelinkGroups);
        DirectDatabase(made->relink.SetupPath(), DirectDatabase::Open::Attach)
            .ExecuteAll(GroupTables(1, kRelinkGroups));
        return made;
    }();
    return *data;
}

const MappedScanData& MappedData() {
    static const std::unique_ptr<MappedScanData> data = [] {
        auto made = std::make_unique<MappedScanData>();
        made->mappings = {MappingOf(Cp932("\\\\FS01\\図面\\"), Cp932(Data().treeRoot)),
                          MappingOf("Z:\\", "/nonexistent/z/"),
                          MappingOf(Cp932("\\\\FS02\\資料\\"), "/nonexistent/docs/")};
        // The tree's folders below its root, in Windows form on the share and on the drive.
        const std::string& root = Data().treeRoot;
        FillScanGroups(made->scan, [&root](bool present, int folder) {
            std::string below = FolderIn(QString::fromStdString(root), folder).substr(root.size());
            std::replace(below.begin(), below.end(), '/', '\\');  // no trail byte of CP932 is a '/'
            return (present ? Cp932("\\\\fs01\\図面\\") : std::string("Z:\\")) + below;
        });
        return made;
    }();
    return *data;
}

struct ProgramWindow {
    explicit ProgramWindow(const BenchFolder& folder)
        : program(folder.ExecutablePath()),
          database(folder.Settings()),
          window(program.context, database, nullptr) {
        database.ConnectDatabase();
    }
    int Listed() {
        return window.findChild<QAbstractItemView*>(QStringLiteral("MissingList"))->model()->rowCount();
    }
    void Scan() {
        window.Open();
        WaitWhile([this] { return window.Busy(); });
    }

    ProgramContext program;
    Database database;
    MissingFilesWindow window;
};

void MissingScan(benchmark::State& state, const BenchFolder& folder, const FolderMappings& mappings) {
    ProgramWindow program(folder);
    program.program.context.folderMappings = mappings;
    double stall = 0;
    TimeEach(
        state, [&] { program.window.close(); },
        [&] { stall = std::max(stall, LongestStall([&] { program.Scan(); })); });
    state.counters["stall_ms"] = stall;
    Require(program.Listed() == kScanRows / 2, "the scan did not list every missing file");
}

bool IsFile(const QByteArray& path) {
    struct stat facts;
    return ::stat(path.constData(), &facts) == 0 && S_ISREG(facts.st_mode);
}

// The scan's statements, and each file tested with one stat() where `mappings` put it.
void MissingScanFloor(benchmark::State& state, const BenchFolder& folder, const FolderMappings& mappings) {
    DirectDatabase database(folder.DatabasePath(), DirectDatabase::Open::Attach);
    int missing = 0;
    TimeEach(
        state, [&] { missing = 0; },
        [&] {
            QStringDecoder decode = Cp932Decoder();
            std::vector<int> groups;
            database.Query("SELECT N,GRPNAME FROM GRPQRT ORDER BY N",
                           [&](const DirectDatabase::Row& row) { groups.push_back(row.Int(0)); });
            for (const int group : groups) {
                for (int last = 0, read = kBlockRows; read == kBlockRows;) {
                    read = database.Query(
                        "SELECT FIRST " + std::to_string(kBlockRows) + " N,FILE_NAME,PATH_NAME FROM " +
                            FileTableName(group) + " WHERE N>" + std::to_string(last) + " ORDER BY N",
                        [&](const DirectDatabase::Row& row) {
                            last = row.Int(0);
                            const QString path =
                                decode(Bytes(LocalPathOf(mappings, row.Text(2), row.Text(1))));
                            missing += IsFile(QFile::encodeName(path)) ? 0 : 1;
                        });
                }
            }
        });
    Require(missing == kScanRows / 2, "the statements did not find every missing file");
}

std::string TreeRoot() {
    return Data().treeRoot.substr(0, Data().treeRoot.size() - 1);
}

void Relink(benchmark::State& state) {
    ProgramWindow program(Data().relink);
    program.program.prompts.folder = QString::fromStdString(TreeRoot());
    program.program.prompts.expectedMessage = QStringLiteral("%1件を再リンクしました。").arg(kRelinked);
    RelinkDialog* proposals = program.window.findChild<RelinkDialog*>();
    QPushButton* relink = program.window.findChild<QPushButton*>(QStringLiteral("RelinkButton"));
    double stall = 0;
    TimeEach(
        state,
        [&] {
            ResetRelinkGroups(Data());
            program.Scan();
            Require(program.Listed() == kRelinked, "the relinked files are not missing");
        },
        [&] {
            stall = std::max(stall, LongestStall([&] {
                                 relink->click();
                                 WaitWhile([&] { return program.window.Busy(); });
                                 Require(proposals->isVisible(), "no proposals");
                                 proposals->accept();
                                 WaitWhile([&] { return program.window.Busy(); });
                             }));
        });
    state.counters["stall_ms"] = stall;
    Require(program.Listed() == 0, "not every file was relinked");
}

// Every folder's entries read with readdir; the names wanted are looked up in a set.
void WalkTree(const std::string& folder, const std::set<std::string>& wanted,
              std::map<std::string, std::string>& found) {
    DIR* directory = ::opendir(folder.c_str());
    Require(directory != nullptr, "reading the tree");
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        if (entry->d_type == DT_DIR) {
            if (name != "." && name != "..") {
                WalkTree(folder + name + "/", wanted, found);
            }
        } else if (entry->d_type == DT_REG && wanted.count(name) != 0) {
            found[name] = folder;
        }
    }
    ::closedir(directory);
}

struct MissingRow {
    int group;
    int number;
    std::string fileName, folder;  // code-page bytes
};

// The tree walked once, and one update of its own per file found, as the program sends it.
void RelinkFloor(benchmark::State& state) {
    std::vector<MissingRow> rows;
    std::unique_ptr<DirectDatabase> database;
    int updated = 0;
    TimeEach(
        state,
        [&] {
            database.reset();
            ResetRelinkGroups(Data());
            database =
                std::make_unique<DirectDatabase>(Data().relink.DatabasePath(), DirectDatabase::Open::Attach);
            rows.clear();
            for (int group = 1; group <= kRelinkGroups; ++group) {
                database->Query("SELECT N,FILE_NAME,PATH_NAME FROM " + FileTableName(group) + " ORDER BY N",
                                [&](const DirectDatabase::Row& row) {
                                    rows.push_back({group, row.Int(0), std::string(row.Text(1)),
                                                    std::string(row.Text(2))});
                                });
            }
            updated = 0;
        },
        [&] {
            QStringDecoder decode = Cp932Decoder();
            QStringEncoder encode = Cp932Encoder();
            std::set<std::string> wanted;
            for (const MissingRow& row : rows) {
                wanted.insert(QString(decode(Bytes(row.fileName))).toStdString());
            }
            std::map<std::string, std::string> found;
            WalkTree(Data().treeRoot, wanted, found);
            for (const MissingRow& row : rows) {
                const auto folder = found.find(QString(decode(Bytes(row.fileName))).toStdString());
                if (folder == found.end()) {
                    continue;
                }
                const QByteArray newFolder = encode(QString::fromStdString(folder->second));
                database->Execute("UPDATE " + FileTableName(row.group) +
                                  " SET PATH_NAME=" + SqlText(newFolder.toStdString()) + " WHERE N=" +
                                  std::to_string(row.number) + " AND PATH_NAME=" + SqlText(row.folder));
                ++updated;
            }
        });
    database.reset();
    Require(updated == kRelinked, "not every file was found and updated");
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    Register("MissingScan", [](benchmark::State& s) { MissingScan(s, Data().scan, {}); })->Arg(kScanRows),
    Register("MissingScanFloor", [](benchmark::State& s) { MissingScanFloor(s, Data().scan, {}); })
        ->Arg(kScanRows),
    Register("MissingScanMapped",
             [](benchmark::State& s) { MissingScan(s, MappedData().scan, MappedData().mappings); })
        ->Arg(kScanRows),
    Register("MissingScanMappedFloor",
             [](benchmark::State& s) { MissingScanFloor(s, MappedData().scan, MappedData().mappings); })
        ->Arg(kScanRows),
    Register("Relink", Relink)->Arg(kRelinked),
    Register("RelinkFloor", RelinkFloor)->Arg(kRelinked),
};

}  // namespace
