// The file list of a group shown, and files added to it one registration after another, beside
// the same statements and the same list rows made directly. The files of one group are stored as a
// Windows desktop stores them, on a share that this desktop's folder mappings put in a local folder:
// its floor converts each stored folder with the same function before its rows.

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <memory>

#include "bare_file_list.h"
#include "bench_data.h"
#include "bench_program.h"
#include "bench_support.h"
#include "common/codepage.h"
#include "common/folder_mapping.h"
#include "direct_client.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "filelist/thumbnail_size.h"
#include "floor.h"
#include "platform/file_facts.h"
#include "program_file_list.h"
#include "storage/database.h"
#include "storage/schema.h"

namespace {

constexpr int kListedFiles = 2000;
const int kAddedFiles = Sized(500, 100);
enum Group { kFilesOnDisk = 1, kFilesGone = 2, kAddedTo = 3, kFilesMapped = 4 };

// \\FS01\図面\ and Z:\ as Windows desktops store them, and a share mounted nowhere here.
const std::string kShare = Cp932("\\\\FS01\\図面\\");

struct FileListData {
    BenchFolder folder;
    std::vector<std::string> onDisk;  // code-page paths of files that exist
    FolderMappings mappings;          // the share mounted at <folder>/図面/
};

const FileListData& Data() {
    static const std::unique_ptr<FileListData> data = [] {
        auto made = std::make_unique<FileListData>();
        AddGroups(made->folder, kAddedTo);
        made->onDisk = DrawingFilePaths(made->folder.FilePath(QStringLiteral("files")), kListedFiles, true);
        AddFileTable(made->folder, kFilesOnDisk, made->onDisk);
        AddFileTable(made->folder, kFilesGone,
                     DrawingFilePaths(made->folder.FilePath(QStringLiteral("gone")), kListedFiles, false));
        AddFileTable(made->folder, kAddedTo, std::vector<std::string>());
        // Under \\fs01\図面\表ソ能\ (a server name in other letters, folders ending in the byte of
        // '\'), stored as a Windows desktop registered them.
        const QString mounted = made->folder.FilePath(QStringLiteral("図面"));
        const std::string mountedBytes = Cp932(mounted.toStdString());
        made->mappings = {MappingOf(kShare, mountedBytes), MappingOf("Z:\\", "/nonexistent/z/"),
                          MappingOf(Cp932("\\\\FS02\\資料\\"), "/nonexistent/docs/")};
        std::vector<std::pair<std::string, std::string>> mapped;
        for (const std::string& path :
             DrawingFilePaths(mounted + QStringLiteral("/表ソ能"), kListedFiles, true)) {
            const std::size_t cut = path.rfind('/') + 1;
            std::string below = path.substr(mountedBytes.size() + 1, cut - mountedBytes.size() - 1);
            std::replace(below.begin(), below.end(), '/', '\\');  // never a second byte
            mapped.emplace_back(Cp932("\\\\fs01\\図面\\") + below, path.substr(cut));
            Require(StoredFileExists(LocalPathOf(made->mappings, mapped.back().first, mapped.back().second)),
                    "a mapped registration whose file is not there");
        }
        AddFileTable(made->folder, kFilesMapped, mapped);
        return made;
    }();
    return *data;
}

void FileListShow(benchmark::State& state, int group) {
    ProgramFileList list(Data().folder);
    list.program.context.folderMappings = Data().mappings;
    list.Open(group);
    TimeEach(
        state, [&] { list.form.close(); }, [&] { list.Open(group); });
    Require(list.RowCount() == kListedFiles, "the list does not show every file");
}

void FileListShowFloor(benchmark::State& state, int group) {
    DirectDatabase database(Data().folder.DatabasePath(), DirectDatabase::Open::Attach);
    BareFileList list(kDefaultThumbnailSide);  // the icon view as a list first opens
    TimeEach(
        state,
        [&] {
            list.Window().hide();
            list.Clear();
        },
        [&] {
            list.Window().show();
            ListFileTable(database, group, Data().mappings, list);
            Settle();
        });
    Require(list.RowCount() == kListedFiles, "the list does not show every file");
}

QStringList AddedFiles() {
    QStringList files;
    QStringDecoder decode = Cp932Decoder();
    for (int i = 0; i < kAddedFiles; ++i) {
        files << decode(Bytes(Data().onDisk[i]));
    }
    return files;
}

// The group to add to starts empty for every run.
void EmptyAddedGroup(Database& database) {
    database.DropTable(FileTableName(kAddedTo));
    CreateFileTable(database, FileTableName(kAddedTo));
}

int StoredRows(const BenchFolder& folder) {
    return DirectDatabase(folder.SetupPath(), DirectDatabase::Open::Attach)
        .Query("SELECT * FROM " + FileTableName(kAddedTo));
}

void FileAdd(benchmark::State& state) {
    ProgramFileList list(Data().folder);
    list.program.context.folderMappings = Data().mappings;
    list.program.prompts.files = AddedFiles();
    QPushButton* add = list.form.findChild<QPushButton*>(QStringLiteral("Button1"));
    TimeEach(
        state,
        [&] {
            list.form.close();
            EmptyAddedGroup(list.database);
            list.Open(kAddedTo);
        },
        [&] {
            QTest::mouseClick(add, Qt::LeftButton);
            Settle();
        });
    Require(list.RowCount() == kAddedFiles && StoredRows(Data().folder) == kAddedFiles,
            "not every file was registered");
}

void FileAddFloor(benchmark::State& state) {
    const QStringList files = AddedFiles();
    const std::string table = FileTableName(kAddedTo);
    BareFileList list(kDefaultThumbnailSide);  // the icon view as a list first opens
    list.Window().show();
    Database setup(Data().folder.Settings());
    std::unique_ptr<DirectDatabase> database;
    TimeEach(
        state,
        [&] {
            database.reset();
            setup.ConnectDatabase();
            EmptyAddedGroup(setup);
            setup.DisconnectDatabase();
            database =
                std::make_unique<DirectDatabase>(Data().folder.DatabasePath(), DirectDatabase::Open::Attach);
            list.Clear();
            Settle();
        },
        [&] {
            QStringEncoder encode = Cp932Encoder();
            for (const QString& file : files) {
                int largest = 0;
                database->Query("SELECT MAX(N) FROM " + table, [&](const DirectDatabase::Row& row) {
                    largest = row.IsNull(0) ? 0 : row.Int(0);
                });
                list.AppendRow(file, largest + 1);
                const QString name = QDir::toNativeSeparators(file);
                const qsizetype cut = name.lastIndexOf(QLatin1Char('/')) + 1;
                const QByteArray fileName = encode(name.mid(cut));
                const QByteArray folder = encode(name.left(cut));
                database->Execute("INSERT INTO " + table + " (N, FILE_NAME, PATH_NAME) VALUES (" +
                                  std::to_string(largest + 1) + ", " + Literal(fileName.toStdString()) +
                                  ", " + Literal(folder.toStdString()) + ")");
            }
            Settle();
        });
    database.reset();
    Require(list.RowCount() == kAddedFiles && StoredRows(Data().folder) == kAddedFiles,
            "not every file was registered");
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    Register("FileListShow/files_on_disk", [](benchmark::State& s) { FileListShow(s, kFilesOnDisk); })
        ->Arg(kListedFiles),
    Register("FileListShowFloor/files_on_disk",
             [](benchmark::State& s) { FileListShowFloor(s, kFilesOnDisk); })
        ->Arg(kListedFiles),
    Register("FileListShow/files_gone", [](benchmark::State& s) { FileListShow(s, kFilesGone); })
        ->Arg(kListedFiles),
    Register("FileListShowFloor/files_gone", [](benchmark::State& s) { FileListShowFloor(s, kFilesGone); })
        ->Arg(kListedFiles),
    Register("FileListShow/files_mapped", [](benchmark::State& s) { FileListShow(s, kFilesMapped); })
        ->Arg(kListedFiles),
    Register("FileListShowFloor/files_mapped",
             [](benchmark::State& s) { FileListShowFloor(s, kFilesMapped); })
        ->Arg(kListedFiles),
    Register("FileAdd", FileAdd)->Arg(kAddedFiles),
    Register("FileAddFloor", FileAddFloor)->Arg(kAddedFiles),
};

}  // namespace
