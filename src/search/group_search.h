#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/folder_mapping.h"
#include "storage/records.h"

class Database;
class SearchNeedle;
struct SearchIndex;

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
    std::vector<SearchHit> hits;    // groups by number first, then files by group and number
    std::vector<int> unreadGroups;  // groups whose file table could not be read
    bool indexed = false;           // the search index served it all
};

// The master columns whose texts the search looks in: name, titles, author and memos.
inline constexpr std::array<int, 7> kSearchedGroupTexts{
    kGroupName, kGroupMainTitle, kGroupSubTitle, kGroupAuthor, kGroupMemo1, kGroupMemo2, kGroupMemo3};

// Every group whose name, title, subtitle, author or memos hold the text, and every file whose name
// or folder holds it, or whose folder holds one of `storedFolders` (the stored forms of a folder of
// this machine typed, see StoredFormsOfTyped), in the file tables of existing groups. Never creates
// a table. With an `index`, what it holds as the tables stand now is read from it instead.
SearchOutcome FindText(Database& database, const SearchNeedle& needle,
                       const std::vector<SearchNeedle>& storedFolders = {},
                       const SearchIndex* index = nullptr);
// Every file row, in the file tables of existing groups, with this file name whose folder is this one
// where it stands on this machine under `mappings` (exactly this folder without mappings).
SearchOutcome FindFile(Database& database, const std::string& folder, const std::string& fileName,
                       const FolderMappings& mappings = {}, const SearchIndex* index = nullptr);

// A connection learns each table's description the first time a statement names it, and for
// thousands of file tables that costs more than searching them afterwards. This has the connection
// learn them ahead of a search, a statement at a time, so that the user's wait is spread out.
class FileTableWarmUp {
public:
    // Starts over with the file tables as they will stand at the next step.
    void Restart() { listed_ = false; }
    // One statement on `database`: the list of file tables first, then a batch of them named in a
    // statement that reads no row. False when nothing is left to do.
    bool Step(Database& database);

private:
    bool listed_ = true;  // nothing to do until restarted
    std::vector<int> numbers_;
    std::size_t next_ = 0;
};
