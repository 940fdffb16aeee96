#include "index_fixture.h"
#include "storage/schema.h"
#include "support/another_desktop.h"

namespace {

using Found = std::vector<std::pair<int, std::string>>;  // group and file name

Found Files(const SearchOutcome& outcome) {
    Found found;
    for (const SearchHit& hit : outcome.hits) {
        found.emplace_back(hit.groupNo, hit.fileName);
    }
    return found;
}

// Groups 1 and 2 with one file each, made into an index; then another desktop changes group 2.
class IndexFreshness : public IndexTest {
protected:
    void SetUp() override {
        AddGroup(1, J("図面"));
        AddGroup(2, J("設計"));
        CreateFileTables({1, 2});
        AddFile(1, 1, J("平面図A.dwg"), "/d/");
        AddFile(2, 1, J("立面図.dwg"), "/d/");
        MakeIndex();
    }
    Found Find(const char* text) { return Files(FindIndexed(SearchNeedle(J(text)))); }
};

TEST_F(IndexFreshness, anotherDesktopsChangeIsFoundAtOnceAndHeldByTheIndexAfterTheNextLook) {
    const struct {
        const char* what;
        std::function<void(Database&)> change;
        const char* text;
        Found found;
    } cases[] = {
        {"a file added",
         [](Database& d) {
             d.InsertRow(FileTableName(2), FileColumnNames(),
                         std::array<std::string, 3>{"2", "'plan.dwg'", "'/d/'"});
         },
         "plan",
         {{2, "plan.dwg"}}},
        {"a file renamed",
         [](Database& d) { d.UpdateSet(FileTableName(2), "FILE_NAME = 'plan2.dwg'", "N = 2"); },
         "plan",
         {{2, "plan2.dwg"}}},
        {"a file removed", [](Database& d) { d.DeleteRows(FileTableName(2), "N = 2"); }, "plan", {}},
        {"a group's table dropped and made anew",
         [](Database& d) {
             d.DropTable(FileTableName(2));
             CreateFileTable(d, FileTableName(2));
         },
         "立面",
         {}},
    };
    for (const auto& step : cases) {
        SCOPED_TRACE(step.what);
        step.change(other);
        // The index holds the table as it was: the table is searched in the database.
        Count();
        EXPECT_EQ(Find(step.text), step.found);
        Look();
        const SearchOutcome after = FindIndexed(SearchNeedle(J(step.text)));
        EXPECT_TRUE(after.indexed);
        EXPECT_EQ(Files(after), step.found);
    }
}

TEST_F(IndexFreshness, aWriteNotCommittedWhileTheIndexReadsItsTableIsFoundOnceCommitted) {
    // The other desktop's row is in the table, uncommitted, while every look is taken and the index
    // reads; then it commits, and nothing counts the write again.
    ASSERT_TRUE(WhileAnotherDesktopWrites(
        location.settings(),
        [](Database& d) {
            return d.InsertRow(FileTableName(2), FileColumnNames(),
                               std::array<std::string, 3>{"5", "'late.dwg'", "'/d/'"});
        },
        [&] {
            Look();
            Look();
        }));
    Look();
    Look();
    EXPECT_EQ(Find("late"), (Found{{2, "late.dwg"}}));
}

}  // namespace
