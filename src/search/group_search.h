#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Database;
class SearchNeedle;

// One thing found: a group by its own texts, or a file registered in a group's file table.
struct SearchHit {
    enum class Kind { Group, File };
    Kind kind = Kind::Group;
    int groupNo = 0;
    std::string groupName;  // code-page bytes, as the texts below
    int fileNo = 0;         // the file row's N; 0 for a group
    std::string fileName;
    std::string folder;
};

struct SearchOutcome {
    enum class State { Found, NotAttached, NoGroups };
    State state = State::Found;
    std::vector<SearchHit> hits;  // groups by number first, then files by group and number
};

// Every group whose name, title, subtitle, author or memos hold the text, and every file whose name
// or folder holds it, in the file tables of existing groups. Never creates a table.
SearchOutcome FindText(Database& database, const SearchNeedle& needle);
// Every file row, in the file tables of existing groups, whose folder and name are exactly these.
SearchOutcome FindFile(Database& database, const std::string& folder, const std::string& fileName);

// How many file tables one statement reads: the server allows 255 tables in one statement.
inline constexpr std::size_t kFileTablesPerStatement = 200;
