#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "search/index_file.h"
#include "search/table_writes.h"

// What a search learns of the index when it is asked for: where the file is, and how the tables
// stood at the change watch's latest look, with the tables the program has written since that the
// index does not hold yet.
struct IndexView {
    std::filesystem::path path;
    std::string identity;
    std::shared_ptr<const TableWrites> counts;
    std::set<std::string> written;

    // The index holds `table` as it stands.
    bool Holds(const std::string& table, const IndexedTable& held) const {
        return counts && held.epoch == counts->connection && held.writes == counts->WritesOf(table) &&
               written.count(table) == 0;
    }
};

// The index as one search uses it: the file opened for searching, how the tables stand, and when to
// give up (a later search was asked for).
struct SearchIndex {
    IndexFile& file;
    const IndexView& view;
    std::function<bool()> superseded;
};
