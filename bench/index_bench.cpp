// The search index of 200,000 and 1,000,000 registrations: made from nothing beside reading every
// table once, and a search typed with it beside the index's query alone (today's search of the
// database is search_bench.cpp's).

#include <sqlite3.h>
#include <sys/resource.h>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <map>

#include "bench_data.h"
#include "bench_support.h"
#include "common/codepage.h"
#include "common/number.h"
#include "direct_client.h"
#include "search/index_file.h"
#include "search/index_keeper.h"
#include "search/index_words.h"
#include "search/search_text.h"
#include "search/search_window.h"
#include "search/table_writes.h"
#include "storage/database.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

namespace {

namespace fs = std::filesystem;

// Files are numbered through all groups: this text is in the names of files 000100 to 000199.
constexpr const char* kTyped = "平面図_000";
constexpr char kLastKey = '1';
constexpr int kFound = 100;

LibrarySize SizeOf(const benchmark::State& state) {
    return state.range(0) == MillionLibrarySize().groups ? MillionLibrarySize() : LargeLibrarySize();
}

const fs::path& IndexFolder() {
    static const QTemporaryDir folder;
    static const fs::path path = folder.path().toStdString();
    return path;
}

// The program's connection, which has read the board, and the change watch's, whose looks the
// index follows: looks are taken whenever the index has done all it can, until it is ready.
struct IndexedProgram {
    explicit IndexedProgram(const BenchFolder& library)
        : database(library.Settings()), watch(library.Settings()) {
        database.ConnectDatabase();
        watch.ConnectDatabase();
        database.OpenSelect("*", kGroupTable, "", "N");
        database.CloseStatement();
    }
    void MakeReady() {
        while (!keeper.View() || keeper.Making()) {
            if (!keeper.Busy()) {
                keeper.Counted(ReadTableWrites(watch));
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    Database database;
    Database watch;
    IndexKeeper keeper{database, IndexFolder()};
};

// A program whose index of the library is ready, made once per process: repetitions search it as
// it stands. It is left to the process's end: destroyed after the toolkit, its threads would wait for
// an event loop that is gone.
IndexedProgram& ReadyProgram(const LibrarySize& size) {
    static std::map<int, IndexedProgram*> programs;
    IndexedProgram*& program = programs[size.groups];
    if (program == nullptr) {
        program = new IndexedProgram(Library(size));
        program->MakeReady();
    }
    return *program;
}

void RemoveIndexes() {
    std::error_code error;
    for (const fs::directory_entry& file : fs::directory_iterator(IndexFolder(), error)) {
        fs::remove(file.path(), error);
    }
}

// What every thread of the process has run on the processors so far: where the machine has no core
// to spare, the writer's work and the reading add up in the time.
double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The most the database engine has held for the library since it was opened, as it counts.
double EnginePeakMiB(Database& database) {
    std::string row[1];
    const int count =
        database.OpenSelect("MON$MAX_MEMORY_USED", "MON$MEMORY_USAGE", "MON$STAT_GROUP = 0", "");
    double peak = 0;
    WalkRows(database, count, row,
             [&] { peak = static_cast<double>(DecimalInt64OrZero(row[0])) / (1 << 20); });
    database.CloseStatement();
    return peak;
}

void IndexBuild(benchmark::State& state) {
    const BenchFolder& library = Library(SizeOf(state));
    std::uintmax_t size = 0;
    double engineMiB = 0;
    double processor = 0;
    TimeEach(
        state,
        [] {
            RemoveIndexes();
            sqlite3_memory_highwater(1);
        },
        [&] {
            const double start = ProcessorSeconds();
            IndexedProgram program(library);
            program.MakeReady();
            processor = ProcessorSeconds() - start;
            engineMiB = EnginePeakMiB(program.watch);
            size = IndexFile::OpenToSearch(program.keeper.View()->path, program.keeper.View()->identity)
                       ->SizeOnDisk();
        });
    state.counters["index_MiB"] = static_cast<double>(size) / (1 << 20);
    // What SQLite held at the most of the peak: its caches, and the full-text tables' pending words.
    state.counters["engine_peak_MiB"] = engineMiB;
    state.counters["cpu_s"] = processor;
    state.counters["sqlite_peak_MiB"] = static_cast<double>(sqlite3_memory_highwater(0)) / (1 << 20);
}

// Every table read once: the master table, then the file tables 200 to a statement, every value read
// in place.
void IndexBuildFloor(benchmark::State& state) {
    const LibrarySize size = SizeOf(state);
    const BenchFolder& library = Library(size);
    long long rows = 0;
    double processor = 0;
    TimeEach(
        state, [&] { rows = 0; },
        [&] {
            const double start = ProcessorSeconds();
            DirectDatabase database(library.DatabasePath(), DirectDatabase::Open::Attach);
            rows += database.Query("SELECT * FROM GRPQRT ORDER BY N",
                                   [](const DirectDatabase::Row& row) { row.Text(1); });
            for (int first = 1; first <= size.groups; first += 200) {
                std::string tables;
                for (int group = first; group < first + 200 && group <= size.groups; ++group) {
                    tables += (tables.empty() ? "SELECT * FROM (SELECT " : " UNION ALL SELECT ") +
                              std::to_string(group) +
                              " AS G, N, FILE_NAME, PATH_NAME, RDB$RECORD_VERSION AS V FROM " +
                              FileTableName(group);
                }
                rows += database.Query(tables + ") AS FOUND ORDER BY G, N",
                                       [](const DirectDatabase::Row& row) { row.Text(2), row.Text(3); });
            }
            processor = ProcessorSeconds() - start;
        });
    state.counters["cpu_s"] = processor;
    Require(rows == size.groups + size.Registrations(), "every row read");
}

// The last key of a text typed into the search window, until its results are listed.
void SearchIndexed(benchmark::State& state) {
    IndexedProgram& program = ReadyProgram(SizeOf(state));
    const FolderMappings noMappings;
    SearchWindow window(program.database, noMappings, nullptr);
    window.UseIndex(&program.keeper);
    window.ShowForTyping();
    const auto listed = [&] {
        while (window.Searching()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        Settle();
    };
    TimeEach(
        state,
        [&] {
            window.Edit1->setText(QString::fromUtf8(kTyped));
            window.RunSearch();
            listed();
        },
        [&] {
            QTest::keyClick(window.Edit1, kLastKey);
            QCoreApplication::processEvents();
            listed();
        });
    Require(window.ListView1->topLevelItemCount() == kFound, "the search did not find every file");
}

// The index's own query: its two statements on the file, every row read, and the text looked for in
// what they found.
void SearchIndexedFloor(benchmark::State& state) {
    IndexedProgram& program = ReadyProgram(SizeOf(state));
    const std::unique_ptr<IndexFile> index =
        IndexFile::OpenToSearch(program.keeper.View()->path, program.keeper.View()->identity);
    const std::string text = Cp932(std::string(kTyped) + kLastKey);
    const SearchNeedle needle(text);
    const std::string query = IndexQuery(text);
    std::size_t found = 0;
    TimeEach(
        state, [&] { found = 0; },
        [&] {
            index->Begin();
            for (const GroupRecord& row : index->GroupsMatching(query)) {
                found += needle.FoundIn(row[kGroupName]) ? 1 : 0;
            }
            for (const IndexedFile& file : index->FilesMatching(query, query)) {
                found += needle.FoundIn(file.fileName) || needle.FoundIn(file.folder) ? 1 : 0;
            }
            index->End();
        });
    Require(found == kFound, "the query did not find every file");
}

// What the change watch adds to each look: the count of every table's writes, once every table has
// been read (by the index) since the database was opened, as in a day's work.
void TableCounts(benchmark::State& state) {
    IndexedProgram& program = ReadyProgram(SizeOf(state));
    bool read = true;
    TimeEach(state, {}, [&] { read = read && ReadTableWrites(program.watch).read; });
    Require(read, "the counts could not be read");
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    AtLibrarySizes(Register("IndexBuild", IndexBuild)),
    AtLibrarySizes(Register("IndexBuildFloor", IndexBuildFloor)),
    AtLibrarySizes(Register("SearchIndexed", SearchIndexed)),
    AtLibrarySizes(Register("TableCounts", TableCounts)),
    AtLibrarySizes(Register("SearchIndexedFloor", SearchIndexedFloor)),
};

}  // namespace
