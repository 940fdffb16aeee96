#include <QLineEdit>

#include "common/folder_mapping.h"
#include "missing_files_fixture.h"
#include "platform/codec.h"
#include "relink/folder_replace_dialog.h"
#include "storage/schema.h"

using ::testing::ElementsAre;

namespace {

// \\FS01\図面\ as Windows desktops store it; 表 and ソ end in the byte of a backslash.
const std::string kShare = "\\\\FS01\\\x90\x7d\x96\xca\\";
const std::string kHyo = "\x95\x5c";
const std::string kSoNo = "\x83\x5c\x94\x5c.dwg";  // ソ能.dwg

// The share \\FS01\図面\ and the drive Z: mounted at <temporary folder>/図面/ on this desktop, and a
// share mounted nowhere.
class RelinkMappingTest : public MissingFilesTest {
protected:
    RelinkMappingTest() {
        AddGroup(1, "G");
        context.folderMappings = {MappingOf(kShare, Under(QStringLiteral("図面/"))),
                                  MappingOf("Z:\\", Under(QStringLiteral("図面/"))),
                                  MappingOf("\\\\FS02\\\x8e\x91\x97\xbf\\", "/nonexistent/")};
    }
};

}  // namespace

TEST_F(RelinkMappingTest, scanFindsOnlyFilesMissingWhereTheirFolderIsMounted) {
    MakeFile(QStringLiteral("図面/表/ソ能.dwg"));
    MakeFile(QStringLiteral("図面/2026/A棟/a.dwg"));
    StoreRow(1, 1, kSoNo, "\\\\fs01\\\x90\x7d\x96\xca\\" + kHyo + "\\");
    StoreRow(1, 2, "a.dwg", "z:/2026/A\x93\x8f/");
    StoreRow(1, 3, "gone.dwg", kShare + kHyo + "\\");
    StoreRow(1, 4, "b.dwg", "\\\\FS02\\\x8e\x91\x97\xbf\\");
    StoreRow(1, 5, kSoNo, "\\\\FS03\\\x90\x7d\x96\xca\\" + kHyo + "\\");
    OpenAndWait();
    EXPECT_THAT(Column(1), ElementsAre("3", "4", "5"));
}

TEST_F(RelinkMappingTest, relinkingStoresTheFoundFolderInItsStoredForm) {
    MakeFile(QStringLiteral("図面/新/表/ソ能.dwg"));
    MakeFile(QStringLiteral("図面/新/表/a:b.dwg"));  // a Linux desktop's, which no Windows one could open
    StoreRow(1, 1, kSoNo, kShare + "\x8b\x8c\\" + kHyo + "\\");  // \\FS01\図面\旧\表\ .
    StoreRow(1, 2, "a:b.dwg", "/srv/zumen/");
    OpenAndWait();
    ASSERT_THAT(Column(1), ElementsAre("1", "2"));

    RelinkFrom(files.filePath(QStringLiteral("図面")));
    const std::string moved = kShare + "\x90\x56\\" + kHyo + "\\";  // \\FS01\図面\新\表\ .
    ASSERT_EQ(ProposalList()->topLevelItemCount(), 1);
    EXPECT_EQ(ProposalList()->topLevelItem(0)->text(3), FromCp932(moved));
    ConfirmProposals();
    EXPECT_THAT(StoredRows(1),
                ElementsAre(FileRecord{"1", kSoNo, moved}, FileRecord{"2", "a:b.dwg", "/srv/zumen/"}));
}

TEST_F(RelinkMappingTest, folderReplacementNamesMountedFoldersByTheirStoredForm) {
    FolderReplaceDialog dialog(context, db, nullptr);
    const auto replace = [&](const QString& oldFolder, const QString& newFolder) {
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(oldFolder);
        dialog.findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(newFolder);
        prompts.AnswerNextQuestion(true);
        dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    };
    StoreRow(1, 1, "a.dwg", kShare + "\x8b\x8c\\" + kHyo + "\\");
    StoreRow(1, 2, "b.dwg", kShare + kHyo + "\\");
    StoreRow(1, 3, "c.dwg", kShare + kHyo + "\x8e\xa6\\");  // \\FS01\図面\表示\ .

    // Typed as this machine has it: both folders stand for their stored forms.
    replace(files.filePath(QStringLiteral("図面/旧")), files.filePath(QStringLiteral("図面/新")));
    // A Windows folder ending in 表 gets its own separator, so 表示 is not taken for it.
    replace(FromCp932(kShare) + QStringLiteral("表"), QStringLiteral("Z:\\表"));

    EXPECT_THAT(StoredRows(1), ElementsAre(FileRecord{"1", "a.dwg", kShare + "\x90\x56\\" + kHyo + "\\"},
                                           FileRecord{"2", "b.dwg", "Z:\\" + kHyo + "\\"},
                                           FileRecord{"3", "c.dwg", kShare + kHyo + "\x8e\xa6\\"}));
    EXPECT_THAT(prompts.messages, ElementsAre(QStringLiteral("1件のフォルダを置換しました。"),
                                              QStringLiteral("1件のフォルダを置換しました。")));
}

TEST_F(RelinkMappingTest, folderReplacementFindsEverySpellingOfAMappedFolderAndSaysHowManyRowsItChanged) {
    FolderReplaceDialog dialog(context, db, nullptr);
    const std::string old = "\x8b\x8c";  // 旧
    StoreRow(1, 1, "a.dwg", kShare + old + "\\" + kHyo + "\\");
    StoreRow(1, 2, "b.dwg", "\\\\fs01/\x90\x7d\x96\xca/" + old + "/");  // another case, the other separator
    StoreRow(1, 3, "c.dwg", "z:\\" + old + "\\");                       // the drive mapped to the same folder
    StoreRow(1, 4, "d.dwg", kShare + old + "\x8e\xa6\\");               // 旧示: another folder
    AddGroup(2, "H");
    StoreRow(2, 1, "e.dwg", "Z:/" + old + "/" + kHyo + "/");
    dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(FromCp932(kShare) + QStringLiteral("旧"));
    dialog.findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(FromCp932(kShare) + QStringLiteral("新"));
    prompts.AnswerNextQuestion(true);
    dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();

    const std::string moved = kShare + "\x90\x56\\";  // \\FS01\図面\新\ .
    EXPECT_THAT(StoredRows(1), ElementsAre(FileRecord{"1", "a.dwg", moved + kHyo + "\\"},
                                           FileRecord{"2", "b.dwg", moved}, FileRecord{"3", "c.dwg", moved},
                                           FileRecord{"4", "d.dwg", kShare + old + "\x8e\xa6\\"}));
    EXPECT_THAT(StoredRows(2), ElementsAre(FileRecord{"1", "e.dwg", moved + kHyo + "/"}));
    EXPECT_THAT(prompts.questions,
                ElementsAre(QStringLiteral("2グループの4件のフォルダを置換します。よろしいですか？")));
    EXPECT_THAT(prompts.messages, ElementsAre(QStringLiteral("4件のフォルダを置換しました。")));
}
