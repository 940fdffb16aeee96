#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/folder_mapping.h"

namespace {

// 表 ソ 能 end in the byte of a backslash; ア and ヂ differ only in a second byte that reads 'A' / 'a'.
constexpr const char* kHyo = "\x95\x5c";
constexpr const char* kSo = "\x83\x5c";
constexpr const char* kNo = "\x94\x5c";
constexpr const char* kZumen = "\x90\x7d\x96\xca";  // 図面

std::string Bytes(std::initializer_list<const char*> parts) {
    std::string text;
    for (const char* part : parts) {
        text += part;
    }
    return text;
}

// `prefix` and below it folders named 表ソ能 and one more name, `restBytes` bytes in all, each name
// followed by `separator`.
std::string LongFolder(const std::string& prefix, std::size_t restBytes, char separator) {
    std::string rest;
    while (rest.size() + 7 + 2 <= restBytes) {
        rest += Bytes({kHyo, kSo, kNo});
        rest += separator;
    }
    rest.append(restBytes - 1 - rest.size(), 'x');
    return prefix + rest + separator;
}

const FolderMappings kOffice{
    MappingOf(Bytes({"\\\\FS01\\", kZumen, "\\"}), Bytes({"/mnt/fs01/", kZumen, "/"})),
    MappingOf("Z:\\", Bytes({"/mnt/fs01/", kZumen, "/"})),
    MappingOf("/srv/zumen/", "/mnt/zumen/"),
};

}  // namespace

void PrintTo(const StoredPath& path, std::ostream* out) {
    *out << "{" << ::testing::PrintToString(path.folder) << ", " << ::testing::PrintToString(path.fileName)
         << "}";
}

TEST(FolderMapping, storedShareBecomesTheLocalFolderAndTrailBytesStay) {
    // \\fs01\図面\表\ソ能\ in mixed case, registered on Windows.
    const std::string folder = Bytes({"\\\\fs01\\", kZumen, "\\", kHyo, "\\", kSo, kNo, "\\"});
    EXPECT_EQ(LocalPathOf(kOffice, folder, Bytes({kHyo, ".dwg"})),
              Bytes({"/mnt/fs01/", kZumen, "/", kHyo, "/", kSo, kNo, "/", kHyo, ".dwg"}));
}

TEST(FolderMapping, driveLetterMatchesInEitherCaseAndWithEitherSeparator) {
    EXPECT_EQ(LocalPathOf(kOffice, "z:/2026/", "a.dwg"), Bytes({"/mnt/fs01/", kZumen, "/2026/a.dwg"}));
    EXPECT_EQ(LocalPathOf(kOffice, "Z:\\2026\\", "a.dwg"), Bytes({"/mnt/fs01/", kZumen, "/2026/a.dwg"}));
    EXPECT_EQ(LocalPathOf(kOffice, Bytes({"//FS01/", kZumen, "/A/"}), "a.dwg"),
              Bytes({"/mnt/fs01/", kZumen, "/A/a.dwg"}));
    // A share typed with slashes is a share all the same.
    const FolderMappings slashes{MappingOf(Bytes({"//fs01/", kZumen}), "/mnt/z")};
    EXPECT_EQ(LocalPathOf(slashes, Bytes({"\\\\FS01\\", kZumen, "\\A\\"}), "a.dwg"), "/mnt/z/A/a.dwg");
}

TEST(FolderMapping, secondByteOfACharacterNeverMatchesAsALetterOrSeparator) {
    // ア is 0x83 'A', ヂ is 0x83 'a': folding the second byte would take one for the other.
    const FolderMappings mappings{MappingOf("\\\\FS01\\\x83\x41\\", "/mnt/a/")};
    EXPECT_EQ(LocalPathOf(mappings, "\\\\FS01\\\x83\x61\\", "b.dwg"), "\\\\FS01\\\x83\x61\\b.dwg");
    EXPECT_EQ(LocalPathOf(mappings, "\\\\fs01\\\x83\x41\\", "b.dwg"), "/mnt/a/b.dwg");
    // ソ's second byte is the backslash: the folder ソ is one name, whatever separator follows it.
    const FolderMappings so{MappingOf(Bytes({"\\\\FS01\\", kSo, "\\"}), "/mnt/so/")};
    EXPECT_EQ(LocalPathOf(so, Bytes({"\\\\FS01\\", kSo, "/", kSo, "\\"}), "c.dwg"),
              Bytes({"/mnt/so/", kSo, "/c.dwg"}));
}

TEST(FolderMapping, typedPrefixEndingInABackslashByteGetsItsSeparator) {
    const FolderMapping mapping = MappingOf(Bytes({"\\\\FS01\\", kHyo}), Bytes({"/mnt/", kHyo}));
    EXPECT_EQ(mapping.stored, Bytes({"\\\\FS01\\", kHyo, "\\"}));
    EXPECT_EQ(mapping.local, Bytes({"/mnt/", kHyo, "/"}));
    // 表示 begins with the bytes of "\\FS01\表" but is another folder.
    const std::string display = Bytes({"\\\\FS01\\", kHyo, "\x8e\xa6\\"});
    EXPECT_EQ(LocalPathOf({mapping}, display, "a.dwg"), display + "a.dwg");
    EXPECT_EQ(MappingOf("Z:", "/mnt/z").stored, "Z:\\");
    EXPECT_EQ(MappingOf("/srv/zumen", "/mnt/zumen/"), (FolderMapping{"/srv/zumen/", "/mnt/zumen/"}));
}

TEST(FolderMapping, longestPrefixWinsWhateverTheOrder) {
    FolderMappings mappings{MappingOf("\\\\FS01\\", "/mnt/fs01/"),
                            MappingOf(Bytes({"\\\\FS01\\", kZumen, "\\"}), "/mnt/zumen/")};
    const std::string folder = Bytes({"\\\\FS01\\", kZumen, "\\A\\"});
    EXPECT_EQ(LocalPathOf(mappings, folder, "a.dwg"), "/mnt/zumen/A/a.dwg");
    std::swap(mappings[0], mappings[1]);
    EXPECT_EQ(LocalPathOf(mappings, folder, "a.dwg"), "/mnt/zumen/A/a.dwg");
    EXPECT_EQ(LocalPathOf(mappings, "\\\\FS01\\other\\", "a.dwg"), "/mnt/fs01/other/a.dwg");
}

TEST(FolderMapping, folderOfAnotherSystemMatchesByteForByte) {
    EXPECT_EQ(LocalPathOf(kOffice, "/srv/zumen/a\\b/", "c.dwg"), "/mnt/zumen/a\\b/c.dwg");
    EXPECT_EQ(LocalPathOf(kOffice, "/SRV/zumen/", "c.dwg"), "/SRV/zumen/c.dwg");
    EXPECT_EQ(LocalPathOf(kOffice, "/srv/zumen2/", "c.dwg"), "/srv/zumen2/c.dwg");
}

TEST(FolderMapping, folderUnderNoMappingIsUsedAsStored) {
    EXPECT_EQ(LocalPathOf(kOffice, "\\\\FS02\\x\\", "a.dwg"), "\\\\FS02\\x\\a.dwg");
    EXPECT_EQ(LocalPathOf({}, Bytes({"Z:\\", kHyo, "\\"}), "a.dwg"), Bytes({"Z:\\", kHyo, "\\a.dwg"}));
    EXPECT_EQ(LocalPathOf(kOffice, "", ""), "");
}

TEST(FolderMapping, fullLengthFolderMapsBothWaysByteForByte) {
    const std::string share = Bytes({"\\\\FS01\\", kZumen, "\\"});
    const std::string stored = LongFolder(share, 255 - share.size(), '\\');
    const std::string local = LongFolder(Bytes({"/mnt/fs01/", kZumen, "/"}), 255 - share.size(), '/');
    ASSERT_EQ(stored.size(), 255u);
    const std::string name = Bytes({kNo, kSo, kHyo, ".dwg"});
    EXPECT_EQ(LocalPathOf(kOffice, stored, name), local + name);
    EXPECT_EQ(StoredPathOf(kOffice, local + name), (StoredPath{stored, name}));
}

TEST(FolderMapping, registeringUnderAMappingStoresItsPrefixWithWindowsSeparators) {
    const std::string local = Bytes({"/mnt/fs01/", kZumen, "/2026/A", kSo, "/", kHyo, ".dwg"});
    EXPECT_EQ(StoredPathOf(kOffice, local),
              (StoredPath{Bytes({"\\\\FS01\\", kZumen, "\\2026\\A", kSo, "\\"}), Bytes({kHyo, ".dwg"})}));
    EXPECT_EQ(StoredPathOf(kOffice, "/mnt/zumen/a/b.dwg"), (StoredPath{"/srv/zumen/a/", "b.dwg"}));
    // A name with a backslash in it keeps it: the folder alone is converted.
    EXPECT_EQ(StoredPathOf(kOffice, "/mnt/zumen/a\\b.dwg"), (StoredPath{"/srv/zumen/", "a\\b.dwg"}));
}

TEST(FolderMapping, registeringOutsideEveryMappingSplitsWhereThePathSays) {
    EXPECT_EQ(StoredPathOf(kOffice, Bytes({"/home/u/", kHyo, "/a.dwg"})),
              (StoredPath{Bytes({"/home/u/", kHyo, "/"}), "a.dwg"}));
    EXPECT_EQ(StoredPathOf(kOffice, "/mnt/fs01/other.dwg"), (StoredPath{"/mnt/fs01/", "other.dwg"}));
    // A copied registration of a Windows folder no mapping holds keeps its folder and name.
    EXPECT_EQ(StoredPathOf(kOffice, Bytes({"\\\\FS02\\", kSo, "\\a.dwg"})),
              (StoredPath{Bytes({"\\\\FS02\\", kSo, "\\"}), "a.dwg"}));
    EXPECT_EQ(StoredPathOf(kOffice, "C:/b.dwg"), (StoredPath{"C:/", "b.dwg"}));
    EXPECT_EQ(StoredPathOf(kOffice, "/tmp/a\\b:c.dwg"), (StoredPath{"/tmp/", "a\\b:c.dwg"}));
}

TEST(FolderMapping, driveIsResolvedOnlyOutsideEveryMapping) {
    std::vector<std::string> asked;
    const DriveResolver share = [&asked](std::string_view drive) {
        asked.emplace_back(drive);
        return std::string("\\\\FS09\\share");
    };
    const FolderMappings mappings{MappingOf("\\\\FS01\\", "X:\\fs01\\")};
    EXPECT_EQ(StoredPathOf(mappings, "X:\\fs01\\a\\b.dwg", share), (StoredPath{"\\\\FS01\\a\\", "b.dwg"}));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(StoredPathOf(mappings, "X:\\other\\b.dwg", share),
              (StoredPath{"\\\\FS09\\share\\other\\", "b.dwg"}));
    EXPECT_EQ(asked, std::vector<std::string>{"X:"});
}

TEST(FolderMapping, windowsDesktopTurnsAnotherSystemsSeparatorsIntoBackslashes) {
    const FolderMappings mappings{MappingOf("/srv/zumen/", Bytes({"\\\\FS01\\", kZumen}))};
    EXPECT_EQ(LocalPathOf(mappings, Bytes({"/srv/zumen/", kHyo, "/"}), "a.dwg"),
              Bytes({"\\\\FS01\\", kZumen, "\\", kHyo, "\\a.dwg"}));
    EXPECT_EQ(StoredPathOf(mappings, Bytes({"\\\\fs01\\", kZumen, "\\", kSo, "\\a.dwg"})),
              (StoredPath{Bytes({"/srv/zumen/", kSo, "/"}), "a.dwg"}));
}

TEST(FolderMapping, whereSeveralMappingsHoldAPathTheShareIsStoredFirstThenTheDriveThenAnotherSystemsFolder) {
    const std::string mounted = Bytes({"/mnt/fs01/", kZumen, "/"});
    const FolderMapping share = MappingOf(Bytes({"\\\\FS01\\", kZumen, "\\"}), mounted);
    const FolderMapping drive = MappingOf("Z:\\", mounted);
    const FolderMapping deeperDrive = MappingOf("Y:\\", mounted + "2026/");
    const FolderMapping other = MappingOf("/srv/zumen/", mounted);
    const std::string local = mounted + Bytes({"2026/", kHyo, ".dwg"});
    const struct {
        FolderMappings mappings;
        std::string folder;
    } cases[] = {
        {{other, drive, share}, Bytes({"\\\\FS01\\", kZumen, "\\2026\\"})},
        {{deeperDrive, other, share}, Bytes({"\\\\FS01\\", kZumen, "\\2026\\"})},
        {{other, deeperDrive, drive}, "Y:\\"},
        {{other, drive}, "Z:\\2026\\"},
        {{other}, "/srv/zumen/2026/"},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(StoredPathOf(each.mappings, local), (StoredPath{each.folder, Bytes({kHyo, ".dwg"})}));
    }
}

TEST(FolderMapping, aNameAWindowsDesktopCannotHoldIsRefusedUnderAWindowsFormOnly) {
    const std::string mounted = Bytes({"/mnt/fs01/", kZumen, "/"});
    for (const char* name : {"a:b.dwg", "a\\b.dwg", "a*.dwg", "a?.dwg", "\"a\".dwg", "<a>.dwg", "a|b.dwg",
                             "a.dwg.", "a.dwg ", "a\tb.dwg"}) {
        EXPECT_FALSE(WindowsCanHold(kOffice, mounted + name)) << name;
        EXPECT_TRUE(WindowsCanHold(kOffice, std::string("/mnt/zumen/") + name)) << name;  // /srv/zumen/
        EXPECT_TRUE(WindowsCanHold(kOffice, std::string("/home/u/") + name)) << name;     // under none
    }
    EXPECT_FALSE(WindowsCanHold(kOffice, mounted + "a?b/c.dwg"));  // a folder below the share
    EXPECT_FALSE(WindowsCanHold(kOffice, mounted + "a./c.dwg"));
    // 表ソ能 end in 0x5C, a letter of their own; so does a full-length name.
    EXPECT_TRUE(WindowsCanHold(kOffice, mounted + Bytes({kHyo, kSo, "/", kNo, ".dwg"})));
    EXPECT_TRUE(WindowsCanHold(kOffice, LongFolder(mounted, 240, '/') + Bytes({kNo, ".dwg"})));
}
