#include "search/change_look.h"

#include "common/number.h"
#include "common/sql_literal.h"
#include "storage/row_walk.h"
#include "storage/schema.h"

std::optional<TableState> ReadTableState(Database& database, std::string_view table) {
    std::string row[2];
    const int count = database.OpenSelect("COUNT(*), MAX(RDB$RECORD_VERSION)", table, "", "");
    WalkRows(database, count, row, [] {});
    if (count != 1) {
        return std::nullopt;
    }
    return TableState{DecimalOrZero(row[0]), DecimalOrZero(row[1])};
}

ChangeLook::Outcome ChangeLook::Look(Database& database, int fileGroup,
                                     const std::vector<Database::OwnWrite>& ownWrites) {
    for (const Database::OwnWrite& write : ownWrites) {
        Note(write);
    }
    Outcome outcome;
    outcome.groupsChanged = LookAt(database, groups_, kGroupTable);
    outcome.filesChanged =
        LookAt(database, files_, fileGroup != 0 ? FileTableName(fileGroup) : std::string());
    return outcome;
}

void ChangeLook::Expect(const std::string& table, std::optional<TableState> state) {
    Watched& watched = table == kGroupTable ? groups_ : files_;
    watched = state ? Watched{table, state} : Watched{};
}

void ChangeLook::Note(const Database::OwnWrite& write) {
    for (Watched* watched : {&groups_, &files_}) {
        if (watched->table.empty() || write.table != watched->table) {
            continue;
        }
        watched->ownWritten = true;
        watched->ownUnknown = watched->ownUnknown || !write.known;
        watched->ownTransactions.insert(write.transaction);
        watched->ownRowsAdded += write.rowsAdded;
    }
}

bool ChangeLook::LookAt(Database& database, Watched& watched, const std::string& table) {
    if (table.empty()) {
        watched = Watched{};
        return false;
    }
    const std::optional<TableState> now = ReadTableState(database, table);
    // A look cut short by a lost connection tells nothing: what was known stands.
    if (database.Lost()) {
        return false;
    }
    bool news = false;
    if (watched.table == table) {
        if (!watched.ownWritten) {
            news = now != watched.state;
        } else if (now && watched.state && !watched.ownUnknown) {
            news = !OwnChangesOnly(database, watched, *watched.state, *now);
        }
        // A write whose effect is not known, or a table that came or went with the program's own
        // write, is taken as the program's own: the look learns how things stand.
    }
    watched = Watched{table, now};
    return news;
}

bool ChangeLook::OwnChangesOnly(Database& database, const Watched& watched, const TableState& before,
                                const TableState& now) {
    if (now.rows != before.rows + watched.ownRowsAdded) {
        return false;
    }
    if (now.newest <= before.newest) {
        return true;
    }
    // Every row written since the last look carries the transaction of one of the program's writes.
    std::string version[1];
    bool own = true;
    const int count = database.OpenSelect("DISTINCT RDB$RECORD_VERSION", watched.table,
                                          "RDB$RECORD_VERSION > " + SqlNumber(before.newest), "");
    const bool read = database.ResultOpen();
    WalkRows(database, count, version,
             [&] { own = own && watched.ownTransactions.count(DecimalOrZero(version[0])) != 0; });
    return read && own;
}
