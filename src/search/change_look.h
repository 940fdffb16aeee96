#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "storage/database.h"
#include "storage/table_state.h"

// One look at the master table and a file table: did someone else change them since the last look?
// The program's own writes come with their transactions and row changes, so that they are no news
// while another program's changes in the same moments still are.
class ChangeLook {
public:
    struct Outcome {
        bool groupsChanged = false;
        bool filesChanged = false;
    };
    // Looks at the master table and at the file table of `fileGroup` (0: none), with the program's
    // own writes since the last look. The first look at a table the views were not read from only
    // learns how it stands.
    Outcome Look(Database& database, int fileGroup, const std::vector<Database::OwnWrite>& ownWrites);
    // The views were read from `table` when it stood as `state` (nothing: it could not be read, and
    // the next look only learns): the next look at it tells whether it changed since.
    void Expect(const std::string& table, std::optional<TableState> state);

private:
    // One table as the last look left it, and the program's own writes to it since.
    struct Watched {
        std::string table;  // empty: nothing known yet
        std::optional<TableState> state;
        std::set<std::int64_t> ownTransactions;
        long long ownRowsAdded = 0;
        bool ownWritten = false;
        bool ownUnknown = false;  // a write whose transaction or row change is not known
    };
    void Note(const Database::OwnWrite& write);
    // Looks at `table` again; true when someone else changed it since the last look.
    bool LookAt(Database& database, Watched& watched, const std::string& table);
    // The change from `before` to `now` is all the program's own.
    bool OwnChangesOnly(Database& database, const Watched& watched, const TableState& before,
                        const TableState& now);

    Watched groups_;
    Watched files_;
};
