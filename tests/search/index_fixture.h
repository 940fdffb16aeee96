#pragma once

#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <string>

#include "search/group_search.h"
#include "search/index_upkeep.h"
#include "search/index_view.h"
#include "search/search_text.h"
#include "search_fixture.h"

// The index of the test's database as the program keeps it, driven by hand: one connection counts
// the tables' writes as the change watch does, another reads the tables for the index, in a cache
// folder of the test's own.
class IndexTest : public SearchTest {
protected:
    IndexTest();
    std::filesystem::path Folder() const;
    // One look of the change watch, as the searches learn it; the index has not taken it in yet.
    void Count();
    // One look of the change watch; the index takes it in and does all it can until the next one.
    void Look();
    // Looks until the index is ready (a handful of looks at most).
    void MakeIndex();
    // The search as the window runs it: with the index, as the latest look left it.
    SearchOutcome FindIndexed(const SearchNeedle& needle,
                              const std::vector<SearchNeedle>& storedFolders = {});
    SearchOutcome FindFileIndexed(const std::string& folder, const std::string& fileName);

    // The connections attach anew to what these name, as after a switch of the database.
    void Reconnect();

    QTemporaryDir cache;
    ConnectionSettings settings{location.settings()};
    Database watch{settings};
    Database keeper{settings};
    Database searcher{settings};
    IndexUpkeep upkeep{Folder(), {}, [](const std::vector<std::string>&, long long) {}};
    IndexView view;
};
