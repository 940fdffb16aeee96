#include "index_fixture.h"

#include <QFile>

#include "search/table_writes.h"

IndexTest::IndexTest() {
    Reconnect();
}

void IndexTest::Reconnect() {
    for (Database* connection : {&watch, &keeper, &searcher}) {
        connection->DisconnectDatabase();
        connection->ConnectDatabase();
    }
}

std::filesystem::path IndexTest::Folder() const {
    return QFile::encodeName(cache.filePath(QStringLiteral("qarto-groups/search-index"))).toStdString();
}

void IndexTest::Count() {
    view.counts = std::make_shared<const TableWrites>(ReadTableWrites(watch));
}

void IndexTest::Look() {
    Count();
    upkeep.Take(*view.counts);
    while (upkeep.Step(keeper)) {
        keeper.CloseStatement();
    }
    upkeep.Flush();
    view.path = upkeep.Path();
    view.identity = upkeep.Identity();
}

void IndexTest::MakeIndex() {
    for (int look = 0; look < 5 && !upkeep.Ready(); ++look) {
        Look();
    }
    ASSERT_TRUE(upkeep.Ready());
}

SearchOutcome IndexTest::FindIndexed(const SearchNeedle& needle,
                                     const std::vector<SearchNeedle>& storedFolders) {
    const std::unique_ptr<IndexFile> reader = IndexFile::OpenToSearch(view.path, view.identity);
    EXPECT_NE(reader, nullptr);
    const SearchIndex index{*reader, view, {}};
    return FindText(searcher, needle, storedFolders, &index);
}

SearchOutcome IndexTest::FindFileIndexed(const std::string& folder, const std::string& fileName) {
    const std::unique_ptr<IndexFile> reader = IndexFile::OpenToSearch(view.path, view.identity);
    EXPECT_NE(reader, nullptr);
    const SearchIndex index{*reader, view, {}};
    return FindFile(searcher, folder, fileName, {}, &index);
}
