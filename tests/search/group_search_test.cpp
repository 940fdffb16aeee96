#include <algorithm>
#include <utility>

#include "search/file_tables.h"
#include "search/group_search.h"
#include "search/search_text.h"
#include "search_fixture.h"
#include "storage/schema.h"

namespace {

using Found = std::vector<std::pair<int, std::string>>;  // group and file name; a group alone has none

Found Summary(const SearchOutcome& outcome) {
    Found found;
    for (const SearchHit& hit : outcome.hits) {
        found.emplace_back(hit.groupNo, hit.fileName);
    }
    return found;
}

TEST(SearchText, lettersMatchWhateverTheirCaseAndWidth) {
    EXPECT_TRUE(SearchNeedle(J("ａＢ１")).FoundIn("xAb1y"));
    EXPECT_TRUE(SearchNeedle("ab1").FoundIn(J("図ＡＢ１.dwg")));
    EXPECT_FALSE(SearchNeedle("ab2").FoundIn(J("図ＡＢ１.dwg")));
}

TEST(SearchText, aLetterNeverMatchesTheSecondByteOfADoubleByteCharacter) {
    // The second byte of "ア" is the code of "A".
    EXPECT_FALSE(SearchNeedle("a").FoundIn(J("ア")));
    EXPECT_TRUE(SearchNeedle(J("アa")).FoundIn(J("図アA")));
}

class FindInDatabase : public SearchTest {
protected:
    SearchOutcome Find(const std::string& text) { return FindText(other, SearchNeedle(text)); }
};

TEST_F(FindInDatabase, groupsAreFoundByTheirTextsAndFilesInTablesOfEveryBatch) {
    // One more group than a statement reads, so the last file table comes in a second statement.
    std::vector<int> groups;
    for (int n = 1; n <= static_cast<int>(kFileTablesPerStatement) + 1; ++n) {
        AddGroup(n, "G" + std::to_string(n), n == 7 ? "see TARGET" : "");
        groups.push_back(n);
    }
    groups.push_back(900);  // left behind by a group that is gone
    CreateFileTables(groups);
    AddFile(1, 1, "plan.dwg", "/target/");
    AddFile(1, 2, "plan.dwg", "/other/");
    AddFile(groups[groups.size() - 2], 4, "Target.DWG", "/d/");
    AddFile(900, 1, "target.dwg", "/d/");

    EXPECT_EQ(
        Summary(Find("target")),
        (Found{{7, ""}, {1, "plan.dwg"}, {static_cast<int>(kFileTablesPerStatement) + 1, "Target.DWG"}}));
}

TEST_F(FindInDatabase, quotesAndWildcardsInTheTextMatchThemselves) {
    AddGroup(1, "G");
    CreateFileTables({1});
    int number = 0;
    for (const char* name :
         {"50%off.dwg", "50xoff.dwg", "a_b.dwg", "axb.dwg", "O'Brien.dwg", "x!y.dwg", "xy.dwg"}) {
        AddFile(1, ++number, name, "/d/");
    }
    EXPECT_EQ(Summary(Find("50%")), (Found{{1, "50%off.dwg"}}));
    EXPECT_EQ(Summary(Find("a_b")), (Found{{1, "a_b.dwg"}}));
    EXPECT_EQ(Summary(Find("o'b")), (Found{{1, "O'Brien.dwg"}}));
    EXPECT_EQ(Summary(Find("x!")), (Found{{1, "x!y.dwg"}}));
}

TEST_F(FindInDatabase, theServerNarrowsWithoutLosingDoubleByteOrFullWidthText) {
    AddGroup(1, "G");
    CreateFileTables({1});
    // The second byte of "ド" is a small "h", which the server's UPPER changes.
    AddFile(1, 1, J("ドa.dwg"), "/d/");
    AddFile(1, 2, J("ＤＷＧ図面.txt"), "/d/");
    AddFile(1, 3, J("平面図.dwg"), J("/図面/"));
    EXPECT_EQ(Summary(Find(J("ドA"))), (Found{{1, J("ドa.dwg")}}));
    EXPECT_EQ(Summary(Find(J("dwg図"))), (Found{{1, J("ＤＷＧ図面.txt")}}));
    EXPECT_EQ(Summary(Find(J("図面"))), (Found{{1, J("ＤＷＧ図面.txt")}, {1, J("平面図.dwg")}}));
}

TEST_F(FindInDatabase, holdersOfAFileAreTheGroupsWithExactlyItsFolderAndName) {
    for (int n = 1; n <= 4; ++n) {
        AddGroup(n, "G" + std::to_string(n));
    }
    CreateFileTables({1, 2, 3, 4});
    AddFile(1, 1, "a.dwg", "/d/");
    AddFile(2, 1, "A.dwg", "/d/");
    AddFile(3, 5, "a.dwg", "/d/");
    AddFile(4, 1, "a.dwg ", "/d/");
    AddFile(4, 2, "b.dwg", "");
    EXPECT_EQ(Summary(FindFile(other, "/d/", "a.dwg")), (Found{{1, "a.dwg"}, {3, "a.dwg"}}));
    EXPECT_EQ(Summary(FindFile(other, "", "b.dwg")), (Found{{4, "b.dwg"}}));
}

TEST_F(FindInDatabase, aFileTableThatCannotBeReadCostsOnlyItsOwnFiles) {
    for (int n = 1; n <= 5; ++n) {
        AddGroup(n, "G" + std::to_string(n));
    }
    CreateFileTables({1, 2, 4, 5});
    ASSERT_TRUE(other.ExecuteScript({"CREATE TABLE " + FileTableName(3) + " (N INTEGER)"}));
    for (const int group : {1, 2, 4, 5}) {
        AddFile(group, 1, "a.dwg", "/d/");
    }
    const SearchOutcome outcome = Find("a.dwg");
    EXPECT_EQ(Summary(outcome), (Found{{1, "a.dwg"}, {2, "a.dwg"}, {4, "a.dwg"}, {5, "a.dwg"}}));
    EXPECT_EQ(outcome.unreadGroups, std::vector<int>{3});
}

TEST_F(FindInDatabase, detachedOrWithoutMasterTableItFindsNothingAndCreatesNothing) {
    ASSERT_TRUE(other.DropTable(kGroupTable));
    EXPECT_EQ(Find("a").state, SearchOutcome::State::NoGroups);
    EXPECT_FALSE(other.TableExists(kGroupTable));
    other.DisconnectDatabase();
    EXPECT_EQ(Find("a").state, SearchOutcome::State::NotAttached);
}

}  // namespace
