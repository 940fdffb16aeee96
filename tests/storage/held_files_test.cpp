#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "shared_database.h"
#include "storage/registration.h"
#include "storage/schema.h"
#include "support/full_length_names.h"

// Whether a group holds files, asked for many at once: more files than one statement takes, with
// full-length names that differ only near their start.
class HeldFilesTest : public SharedDatabase {};

TEST_F(HeldFilesTest, eachFileIsFoundWhereverItStandsAmongThoseAsked) {
    ASSERT_TRUE(CreateFileTable(db(), "GRP_31"));
    std::vector<std::pair<std::string, std::string>> asked;
    std::vector<bool> expected;
    for (int i = 0; i < 100; ++i) {
        asked.emplace_back(FullLengthName("f" + std::to_string(i)),
                           FullLengthFolder("d" + std::to_string(i % 7)));
        expected.push_back(i % 3 == 0);
        if (expected.back()) {
            ASSERT_TRUE(InsertFile("GRP_31", i + 1, asked.back().first, asked.back().second));
        }
    }
    asked.emplace_back("", "");  // a row without a name is held when such a row is stored
    expected.push_back(true);
    ASSERT_TRUE(InsertFile("GRP_31", 200, "", ""));

    EXPECT_EQ(HeldFiles(db(), "GRP_31", asked), expected);
    EXPECT_EQ(HeldFiles(db(), "GRP_32", asked), std::vector<bool>(asked.size(), false));
}
