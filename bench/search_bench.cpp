// A search among 10,000 groups holding 200,000 registered files (1,000 and 20,000 over a link), and the look
// the change watch takes while nothing changed, beside the same statements sent directly.

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <memory>

#include "bench_data.h"
#include "bench_support.h"
#include "common/codepage.h"
#include "common/sql_literal.h"
#include "direct_client.h"
#include "search/change_look.h"
#include "search/search_window.h"
#include "storage/database.h"
#include "storage/schema.h"

namespace {

const int kGroups = LargeLibraryGroups();
constexpr int kTablesPerStatement = 200;
const int kOpenGroup = kGroups / 2;
// Files are numbered through all groups: this text is in the names of files 000100 to 000199.
constexpr const char* kSearchText = "平面図_0001";
constexpr int kFound = 100;

// The library of the benchmark's size: 10,000 groups of 20 files, or a million files in 20,000 groups.
LibrarySize SizeOf(const benchmark::State& state) {
    return state.range(0) == MillionLibrarySize().groups ? MillionLibrarySize() : LargeLibrarySize();
}

// A search window over a new connection of its own; with `warmedUp`, opened for typing and given its
// time to let the connection learn the file tables, as the user meets it. Without, the first search
// in the connection (no target).
void TimeSearch(benchmark::State& state, bool warmedUp) {
    Database database(Library(SizeOf(state)).Settings());
    database.ConnectDatabase();
    const FolderMappings noMappings;
    SearchWindow window(database, noMappings, nullptr);
    if (warmedUp) {
        window.ShowForTyping();
    } else {
        window.show();
    }
    while (!window.WarmedUp()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    TimeEach(
        state, [&] { window.Edit1->setText(QString::fromUtf8(kSearchText)); },
        [&] {
            window.RunSearch();
            while (window.Searching()) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
            Settle();
        });
    Require(window.ListView1->topLevelItemCount() == kFound, "the search did not find every file");
}

void Search(benchmark::State& state) {
    TimeSearch(state, true);
}

void SearchFirst(benchmark::State& state) {
    TimeSearch(state, false);
}

// The statements of a search sent directly, every row read in place, in a connection that has sent
// them once before.
void SearchFloor(benchmark::State& state) {
    const int groups = SizeOf(state).groups;
    DirectDatabase database(Library(SizeOf(state)).DatabasePath(), DirectDatabase::Open::Attach);
    const std::string text = SqlText(Cp932("平面図_0001"));
    const std::string fullWidth = SqlText("\x82");
    const std::string where = "(FILE_NAME CONTAINING " + text + " OR FILE_NAME CONTAINING " + fullWidth +
                              " OR PATH_NAME CONTAINING " + text + " OR PATH_NAME CONTAINING " + fullWidth +
                              ")";
    int found = 0;
    const auto search = [&] {
        database.Query("SELECT * FROM GRPQRT ORDER BY N");
        database.Query(
            "SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG = 0 AND RDB$VIEW_BLR IS "
            "NULL AND RDB$RELATION_NAME STARTING WITH 'GRP_'");
        for (int first = 1; first <= groups; first += kTablesPerStatement) {
            std::string tables;
            for (int group = first; group < first + kTablesPerStatement && group <= groups; ++group) {
                tables += (tables.empty() ? "SELECT * FROM (SELECT " : " UNION ALL SELECT ") +
                          SqlNumber(group) + " AS G, N, FILE_NAME, PATH_NAME FROM " + FileTableName(group);
            }
            found += database.Query(tables + ") AS FOUND WHERE " + where + " ORDER BY G, N");
        }
    };
    search();
    TimeEach(
        state, [&] { found = 0; }, search);
    Require(found == kFound, "the statements did not find every file");
}

void ChangeCheck(benchmark::State& state) {
    Database database(LargeLibrary().Settings());
    database.ConnectDatabase();
    ChangeLook look;
    bool changed = false;
    look.Look(database, kOpenGroup, {});
    TimeEach(
        state, [] {},
        [&] {
            const ChangeLook::Outcome outcome = look.Look(database, kOpenGroup, {});
            changed = changed || outcome.groupsChanged || outcome.filesChanged;
        });
    Require(!changed, "nothing changed, yet a change was seen");
}

void ChangeCheckFloor(benchmark::State& state) {
    DirectDatabase database(LargeLibrary().DatabasePath(), DirectDatabase::Open::Attach);
    TimeEach(
        state, [] {},
        [&] {
            for (const std::string& table : {std::string(kGroupTable), FileTableName(kOpenGroup)}) {
                database.Query("SELECT COUNT(*), MAX(RDB$RECORD_VERSION) FROM " + table);
            }
        });
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    AtLibrarySizes(Register("Search", Search)),
    AtLibrarySizes(Register("SearchFloor", SearchFloor)),
    Register("SearchFirst", SearchFirst)->Arg(kGroups),
    Register("ChangeCheck", ChangeCheck)->Arg(kGroups),
    Register("ChangeCheckFloor", ChangeCheckFloor)->Arg(kGroups),
};

}  // namespace
