#include "bench_data.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>
#include <cstdlib>
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

std::vector<std::string> DrawingFilePaths(const QString& folder, int count, bool create) {
    static const char* const kExtensions[] = {"dwg", "dxf", "pdf", "txt"};
    if (create) {
        QDir().mkpath(folder);
    }
    std::vector<std::string> paths;
    for (int i = 1; i <= count; ++i) {
        const QString name = QStringLiteral("平面図_%1.%2")
                                 .arg(i, 5, 10, QLatin1Char('0'))
                                 .arg(QLatin1String(kExtensions[i % 4]));
        const QString path = QDir(folder).filePath(name);
        if (create) {
            QFile file(path);
            Require(file.open(QIODevice::WriteOnly) && file.write(QByteArray(1000 + i, 'x')) > 0,
                    "writing a file");
        }
        paths.push_back(Cp932(path.toStdString()));
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
    char name[32];
    std::snprintf(name, sizeof name, "平面図_%06d.dwg", file);
    return Cp932(name);
}

std::string LibraryFolder(int group) {
    char folder[64];
    std::snprintf(folder, sizeof folder, "/srv/図面/案件%05d/", group);
    return Cp932(folder);
}

}  // namespace

// Each group with a file table of its own; one transaction for all tables and one for all rows, a
// block of inserts per table.
const BenchFolder& LargeLibrary() {
    static const std::unique_ptr<BenchFolder> folder = [] {
        auto made = std::make_unique<BenchFolder>();
        AddGroups(*made, LargeLibraryGroups());
        DirectDatabase database(made->SetupPath(), DirectDatabase::Open::Attach);
        std::vector<std::string> tables;
        std::vector<std::string> rows;
        for (int group = 1; group <= LargeLibraryGroups(); ++group) {
            const std::string table = FileTableName(group);
            tables.push_back(FileTableDefinition(table));
            std::string block = "EXECUTE BLOCK AS BEGIN ";
            for (int i = 1; i <= kLargeLibraryFilesPerGroup; ++i) {
                block += "INSERT INTO " + table + " VALUES (" + SqlNumber(i) + ", " +
                         SqlText(LibraryFileName((group - 1) * kLargeLibraryFilesPerGroup + i)) + ", " +
                         SqlText(LibraryFolder(group)) + "); ";
            }
            rows.push_back(block + "END");
        }
        database.ExecuteAll(tables);
        database.ExecuteAll(rows);
        return made;
    }();
    return *folder;
}
