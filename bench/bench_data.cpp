#include "bench_data.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "app/app_windows.h"
#include "bench_program.h"
#include "bench_support.h"
#include "common/codepage.h"
#include "common/sql_literal.h"
#include "direct_client.h"
#include "storage/database.h"
#include "storage/schema.h"

namespace {

std::string GroupRow(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "図面グループ%05d", number);
    const int column = (number - 1) % 5;
    const int row = (number - 1) / 5;
    return "INSERT INTO GRPQRT VALUES (" + SqlNumber(number) + ", " + SqlText(Cp932(name)) + ", " +
           SqlText(Cp932("第二工場 増築工事 実施設計図")) + ", " + SqlText(Cp932("構造・設備")) + ", " +
           SqlText(Cp932("設計部 山田")) + ", " + SqlText(Cp932("2024年度 受注分")) + ", NULL, NULL, " +
           SqlText("icon1.ico") + ", " + SqlNumber(8 + column * 120) + ", " + SqlNumber(8 + row * 64) + ")";
}

// The program's file table, as its set-up statement makes it.
std::string FileTableDefinition(const std::string& table) {
    return "CREATE TABLE " + table +
           " (N INTEGER NOT NULL UNIQUE, FILE_NAME VARCHAR(255), PATH_NAME VARCHAR(255))";
}

}  // namespace

BenchFolder::BenchFolder() {
    Require(dir_.isValid(), "temporary folder");
    QDir(dir_.path()).mkdir(QStringLiteral("img"));
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(QColor(40, 110, 200));
    Require(picture.save(FilePath(QStringLiteral("img/icon1.ico")), "ico"), "writing img/icon1.ico");

    settings_ = ConnectionSettings::Defaults();
    settings_.serverPrefix = MeasuredPrefix();
    settings_.dataFolder = QFile::encodeName(dir_.path() + QLatin1Char('/')).toStdString();
    settings_.databaseName = "DB.FDB";
    ConnectionSettings setup = settings_;
    setup.serverPrefix = SetupPrefix();
    Database database(setup);
    database.CreateDatabase();
    Require(database.Attached() && CreateGroupTable(database), "creating the database");
}

// The program writes it itself, as when a user has set the database and closed it.
void BenchFolder::WriteSettingsFile() const {
    ProgramContext program(ExecutablePath());
    AppWindows windows(program.context);
    windows.form1.show();
    program.context.settings = settings_;
    windows.form1.close();
    Require(QFile::exists(program.context.settingsFileName), "writing the settings file");
}

void AddGroups(const BenchFolder& folder, int count) {
    std::vector<std::string> rows;
    for (int number = 1; number <= count; ++number) {
        rows.push_back(GroupRow(number));
    }
    DirectDatabase(folder.SetupPath(), DirectDatabase::Open::Attach).ExecuteAll(rows);
}

void AddFileTable(const BenchFolder& folder, int group, const std::vector<std::string>& paths) {
    std::vector<std::pair<std::string, std::string>> folderAndName;
    for (const std::string& path : paths) {
        const std::size_t cut = path.rfind('/') + 1;
        folderAndName.emplace_back(path.substr(0, cut), path.substr(cut));
    }
    AddFileTable(folder, group, folderAndName);
}

void AddFileTable(const BenchFolder& folder, int group,
                  const std::vector<std::pair<std::string, std::string>>& folderAndName) {
    const std::string table = FileTableName(group);
    DirectDatabase database(folder.SetupPath(), DirectDatabase::Open::Attach);
    database.Execute(FileTableDefinition(table));
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < folderAndName.size(); ++i) {
        rows.push_back("INSERT INTO " + table + " VALUES (" + SqlNumber(static_cast<std::int64_t>(i) + 1) +
                       ", " + SqlText(folderAndName[i].second) + ", " + SqlText(folderAndName[i].first) +
                       ")");
    }
    database.ExecuteAll(rows);
}

std::string LongName(std::size_t bytes, std::string_view ending) {
    static const std::string kWords = Cp932("第二工場 増築工事 構造計算表 ソフト連携 耐震性能 検討資料 ");
    const std::string tail = Cp932(ending);
    std::string name;
    while (name.size() + tail.size() < bytes) {
        name += kWords;
    }
    name = CutToBytes(name, bytes - tail.size());
    // A cut at a character's first byte leaves one byte to fill.
    name.append(bytes - tail.size() - name.size(), '_');
    return name + tail;
}

std::string LongFolder(const QString& base, std::size_t bytes, std::string_view ending) {
    // Each name of the folder 80 to 160 bytes: within the disk's 255 bytes of UTF-8.
    constexpr std::size_t kNameBytes = 80;
    std::string folder = Cp932(base.toStdString());
    while (folder.size() + 2 * kNameBytes + 1 < bytes) {
        folder += LongName(kNameBytes, "") + "/";
    }
    Require(folder.size() + Cp932(ending).size() + 2 < bytes, "a long folder in a short place");
    return folder + LongName(bytes - folder.size() - 1, ending) + "/";
}

std::vector<std::string> DrawingFilePaths(const QString& folder, int count, bool create) {
    static const char* const kExtensions[] = {"dwg", "dxf", "pdf", "txt"};
    const std::string longFolder = LongFolder(folder + QLatin1Char('/'), kColumnBytes, "図面");
    if (create) {
        Require(QDir().mkpath(QString::fromStdString(Utf8FromCp932(longFolder))), "making a long folder");
    }
    std::vector<std::string> paths;
    for (int i = 1; i <= count; ++i) {
        char ending[32];
        std::snprintf(ending, sizeof ending, "平面図_%05d.%s", i, kExtensions[i % 4]);
        const std::string path = longFolder + LongName(create ? kNameOnDiskBytes : kColumnBytes, ending);
        if (create) {
            QFile file(QString::fromStdString(Utf8FromCp932(path)));
            Require(file.open(QIODevice::WriteOnly) && file.write(QByteArray(1000 + i, 'x')) > 0,
                    "writing a file");
        }
        paths.push_back(path);
    }
    return paths;
}

const BenchFolder& FolderWithGroups(int count) {
    static std::map<int, std::unique_ptr<BenchFolder>> folders;
    std::unique_ptr<BenchFolder>& folder = folders[count];
    if (!folder) {
        folder = std::make_unique<BenchFolder>();
        AddGroups(*folder, count);
        folder->WriteSettingsFile();
    }
    return *folder;
}

namespace {

std::string LibraryFileName(int file) {
    char ending[32];
    std::snprintf(ending, sizeof ending, "平面図_%06d.dwg", file);
    return LongName(kColumnBytes, ending);
}

std::string LibraryFolder(int group) {
    char ending[32];
    std::snprintf(ending, sizeof ending, "案件%05d", group);
    return LongFolder(QStringLiteral("/srv/図面/"), kColumnBytes, ending);
}

// Each group with a file table of its own; one transaction for all tables and one for all rows, a
// block of inserts per table.
void FillLibrary(const BenchFolder& folder, const LibrarySize& size) {
    AddGroups(folder, size.groups);
    DirectDatabase database(folder.SetupPath(), DirectDatabase::Open::Attach);
    std::vector<std::string> tables;
    std::vector<std::string> rows;
    for (int group = 1; group <= size.groups; ++group) {
        const std::string table = FileTableName(group);
        tables.push_back(FileTableDefinition(table));
        const std::string folderText = SqlText(LibraryFolder(group));
        std::string block = "EXECUTE BLOCK AS BEGIN ";
        for (int i = 1; i <= size.filesPerGroup; ++i) {
            block += "INSERT INTO " + table + " VALUES (" + SqlNumber(i) + ", " +
                     SqlText(LibraryFileName((group - 1) * size.filesPerGroup + i)) + ", " + folderText +
                     "); ";
        }
        rows.push_back(block + "END");
    }
    database.ExecuteAll(tables);
    database.ExecuteAll(rows);
}

// Where a library made once is kept for the other benchmark processes of a run: the folder
// QARTO_BENCH_CACHE names, under a name that changes with the way the library is made.
std::filesystem::path KeptLibrary(const LibrarySize& size) {
    const char* cache = std::getenv("QARTO_BENCH_CACHE");
    if (cache == nullptr || *cache == '\0') {
        return {};
    }
    return std::filesystem::path(cache) / ("library-long-names-" + std::to_string(size.groups) + "x" +
                                           std::to_string(size.filesPerGroup) + ".fdb");
}

// A library copied from where it was kept, or made and kept there.
std::unique_ptr<BenchFolder> MakeLibrary(const LibrarySize& size) {
    namespace fs = std::filesystem;
    auto made = std::make_unique<BenchFolder>();
    const fs::path file = QFile::encodeName(made->FilePath(QStringLiteral("DB.FDB"))).toStdString();
    const fs::path kept = KeptLibrary(size);
    std::error_code error;
    if (!kept.empty() && fs::exists(kept)) {
        Require(fs::copy_file(kept, file, fs::copy_options::overwrite_existing, error),
                "copying the library");
        return made;
    }
    FillLibrary(*made, size);
    if (!kept.empty()) {
        // Under its name only once whole.
        fs::create_directories(kept.parent_path(), error);
        const fs::path part = kept.string() + ".part";
        Require(fs::copy_file(file, part, fs::copy_options::overwrite_existing, error),
                "keeping the library");
        fs::rename(part, kept, error);
    }
    return made;
}

}  // namespace

const BenchFolder& Library(const LibrarySize& size) {
    static std::map<std::pair<int, int>, std::unique_ptr<BenchFolder>> libraries;
    std::unique_ptr<BenchFolder>& library = libraries[{size.groups, size.filesPerGroup}];
    if (!library) {
        library = MakeLibrary(size);
    }
    return *library;
}
