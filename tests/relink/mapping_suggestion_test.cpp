#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "relink/mapping_suggestion.h"

using ::testing::ElementsAre;

namespace {

const std::string kShare = "\\\\FS01\\\x90\x7d\x96\xca\\";  // \\FS01\図面\ .
const std::string kHyo = "\x95\x5c";                        // 表, ending in the byte of a backslash

std::vector<MissingFile> Files(const std::vector<std::string>& folders) {
    std::vector<MissingFile> files;
    for (const std::string& folder : folders) {
        files.push_back({1, "G", static_cast<std::int64_t>(files.size() + 1), "a.dwg", folder});
    }
    return files;
}

std::string Suggested(const std::vector<std::string>& folders, const FolderMappings& mappings = {}) {
    const std::optional<MappingSuggestion> suggestion = SuggestMapping(Files(folders), mappings);
    return suggestion ? suggestion->prefix : "(none)";
}

}  // namespace

TEST(MappingSuggestion, theShareMostMissingFilesAreOnIsOffered) {
    // A share named 表: its second byte is no separator, so the share is \\fs01\表\ whole.
    EXPECT_EQ(Suggested({"\\\\fs01\\" + kHyo + "\\2026\\", "\\\\FS01\\" + kHyo + "\\2025\\A\\", "/home/u/"}),
              "\\\\fs01\\" + kHyo + "\\");
    EXPECT_EQ(Suggested({kShare + "2026\\A\x93\x8f\\", kShare + kHyo + "\\", "Z:\\x\\"}), kShare);
    EXPECT_EQ(Suggested({"z:\\2026\\", "Z:/2025/", "/srv/x/"}), "z:\\");
    // Offered as most of the files spell it.
    EXPECT_EQ(Suggested({"\\\\fs01\\a\\", "\\\\FS01\\A\\", "\\\\FS01\\a\\b\\", "\\\\FS01\\a\\"}),
              "\\\\FS01\\a\\");
}

TEST(MappingSuggestion, anotherSystemsFolderIsOfferedAsFarAsTheFilesShareIt) {
    EXPECT_EQ(Suggested({"/srv/zumen/2026/a/", "/srv/zumen/2025/", "/srv/zumen/2026/b/"}), "/srv/zumen/");
    EXPECT_EQ(Suggested({"/srv/zumen/" + kHyo + "/", "/srv/zumen/" + kHyo + "/"}),
              "/srv/zumen/" + kHyo + "/");
}

TEST(MappingSuggestion, nothingIsOfferedUnlessMoreThanHalfShareAnUncoveredFolder) {
    EXPECT_EQ(Suggested({kShare + "a\\", kShare + "b\\", "Z:\\a\\", "Z:\\b\\"}), "(none)");
    EXPECT_EQ(Suggested({"", "a.dwg", "\\x\\"}), "(none)");
    EXPECT_EQ(Suggested({}), "(none)");
    // Files missing under a mapped share are truly missing, and count against the others.
    const FolderMappings mapped{MappingOf(kShare, "/mnt/fs01/")};
    EXPECT_EQ(Suggested({kShare + "a\\", kShare + "b\\", "Z:\\a\\"}, mapped), "(none)");
    EXPECT_EQ(Suggested({kShare + "a\\", "Z:\\a\\", "z:\\b\\"}, mapped), "Z:\\");
}

TEST(MappingSuggestion, theSampleIsSpreadOverAllTheFiles) {
    std::vector<std::string> folders(1000, kShare + "a\\");
    const std::optional<MappingSuggestion> suggestion = SuggestMapping(Files(folders), {});
    ASSERT_TRUE(suggestion);
    EXPECT_EQ(suggestion->files, 1000);
    ASSERT_EQ(suggestion->sample.size(), kSuggestionSample);
    EXPECT_EQ(suggestion->sample.front().number, 1);
    EXPECT_EQ(suggestion->sample.back().number, 981);
}
