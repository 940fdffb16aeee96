#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "common/codepage.h"
#include "missing_files_fixture.h"
#include "platform/codec.h"
#include "relink/missing_files_window.h"
#include "relink/relink_dialog.h"
#include "relink/relink_plan.h"
#include "relink/tree_search.h"
#include "storage/schema.h"
#include "support/sleeping_share.h"

using ::testing::ElementsAre;

TEST_F(MissingFilesTest, listsTheMissingRegistrationsOfEveryGroupWithTheirCount) {
    AddGroup(1, Cp932("設計"));
    AddGroup(2, "B");
    AddGroup(3, "no table yet", false);
    const std::string here = MakeFile(QStringLiteral("a.dwg"));
    StoreRow(1, 1, "a.dwg", here);
    StoreRow(1, 4, "gone.dwg", here);
    StoreRow(2, 2, "A.dwg", here);  // names differ in case: another file
    StoreRow(2, 3, "", "");
    // Typed here with the wave dash, stored under the code page's full-width tilde: not missing.
    StoreRow(2, 5, Cp932("軸組図_X1通り～X12通り.dxf"),
             MakeFile(QStringLiteral("軸組図_X1通り〜X12通り.dxf")));

    OpenAndWait();

    EXPECT_EQ(window.windowTitle(), QStringLiteral("リンク切れファイル"));
    EXPECT_THAT(Column(0), ElementsAre(QStringLiteral("設計 (N:1)"), QStringLiteral("B (N:2)"),
                                       QStringLiteral("B (N:2)")));
    EXPECT_THAT(Column(1), ElementsAre("4", "2", "3"));
    EXPECT_THAT(Column(2), ElementsAre("gone.dwg", "A.dwg", ""));
    EXPECT_EQ(Column(3)[0], FromCp932(here));
    EXPECT_EQ(Status(), QStringLiteral("リンク切れファイル: 3件"));
}

TEST_F(MissingFilesTest, aFileOnAShareThatDoesNotAnswerIsNotCalledMissingAndHoldsUpNothing) {
    const std::string asleep = Under(QStringLiteral("眠る表")) + "/";
    SleepingShare share{asleep, std::chrono::milliseconds(200)};
    context.fileLooks = &share.Looks();
    AddGroup(1, Cp932("設計"));
    StoreRow(1, 1, Cp932("立面図表ソ.dwg"), asleep);
    StoreRow(1, 2, "gone.dwg", MakeFile(QStringLiteral("a.dwg")));
    OpenAndWait();
    EXPECT_THAT(Column(2), ElementsAre("gone.dwg"));
}

TEST_F(MissingFilesTest, aGroupLargerThanOneReadIsReadToItsEnd) {
    AddGroup(1, "G");
    // Numbers with gaps, so that each read must go on after the last number it saw.
    ASSERT_TRUE(db.ExecuteScript(
        {"EXECUTE BLOCK AS DECLARE i INTEGER = 1; BEGIN", "WHILE (i <= 4500) DO BEGIN",
         "INSERT INTO GRP_1 VALUES (:i * 3, 'f' || :i, '/nowhere/'); i = i + 1;", "END END"}));
    OpenAndWait();
    EXPECT_EQ(Status(), QStringLiteral("リンク切れファイル: 4500件"));
    EXPECT_EQ(Column(1).last(), QStringLiteral("13500"));
}

TEST_F(MissingFilesTest, cancelEndsTheScanAndSaysSo) {
    AddGroup(1, "G");
    StoreRow(1, 1, "gone.dwg", "/nowhere/");
    window.Open();
    ASSERT_TRUE(window.Busy());
    Click("CancelButton");
    EXPECT_FALSE(window.Busy());
    EXPECT_TRUE(Status().contains(QStringLiteral("検索を中止しました")));
    EXPECT_TRUE(window.findChild<QPushButton*>(QStringLiteral("SearchButton"))->isEnabled());
}

TEST_F(MissingFilesTest, relinkProposesFoundFoldersMarksGuessesAndStoresOnlyTheCheckedOnes) {
    AddGroup(1, "G");
    const std::string unique = MakeFile(QStringLiteral("tree/moved/one.dwg"));
    const std::string nearer = MakeFile(QStringLiteral("tree/b/proj/sheet/two.dwg"));
    MakeFile(QStringLiteral("tree/a/other/sheet/two.dwg"));
    MakeFile(QStringLiteral("tree/c/three.dwg"));
    MakeFile(QStringLiteral("tree/c/FOUR.dwg"));
    StoreRow(1, 1, "one.dwg", "/old/moved/");
    StoreRow(1, 2, "two.dwg", "/old/proj/sheet/");
    StoreRow(1, 3, "three.dwg", "/old/c/");
    StoreRow(1, 4, "four.dwg", "/old/c/");  // found only under another case: not the same name
    const std::string waveDash = MakeFile(QStringLiteral("tree/表/A〜B.dxf"));
    StoreRow(1, 5, Cp932("A～B.dxf"), Cp932("/old/表/"));
    OpenAndWait();

    RelinkFrom(files.filePath(QStringLiteral("tree")));
    ASSERT_EQ(ProposalList()->topLevelItemCount(), 4);
    EXPECT_EQ(ProposalList()->topLevelItem(1)->text(3), FromCp932(nearer));
    EXPECT_TRUE(ProposalList()->topLevelItem(1)->text(4).startsWith(QStringLiteral("推測")));
    EXPECT_FALSE(ProposalList()->topLevelItem(0)->text(4).startsWith(QStringLiteral("推測")));
    ProposalList()->topLevelItem(2)->setCheckState(0, Qt::Unchecked);  // three.dwg left out
    ConfirmProposals();

    const std::vector<FileRecord> stored = StoredRows(1);
    EXPECT_EQ(stored[0][kFilePath], unique);
    EXPECT_EQ(stored[1][kFilePath], nearer);
    EXPECT_EQ(stored[2][kFilePath], "/old/c/");
    EXPECT_EQ(stored[4][kFilePath], waveDash);
    EXPECT_EQ(stored[4][kFileName], Cp932("A～B.dxf"));  // the name stays as stored
    EXPECT_THAT(prompts.messages, ElementsAre(QStringLiteral("3件を再リンクしました。")));
    EXPECT_THAT(Column(2), ElementsAre("three.dwg", "four.dwg"));
}

TEST_F(MissingFilesTest, aRowIsRelinkedToAFileTheUserChoosesEvenUnderAnotherName) {
    AddGroup(1, "G");
    const std::string renamedIn = MakeFile(QStringLiteral("新/軸組図_改表.dxf"));
    const std::string movedTo = MakeFile(QStringLiteral("移動先/平面図.dxf"));
    StoreRow(1, 1, Cp932("軸組図.dxf"), Under(QStringLiteral("旧/")));
    StoreRow(1, 2, Cp932("平面図.dxf"), Under(QStringLiteral("旧/")));
    StoreRow(1, 3, "gone.dwg", Under(QStringLiteral("旧/")));
    OpenAndWait();
    QTreeView* list = window.findChild<QTreeView*>(QStringLiteral("MissingList"));

    // A double-click on the row, or the button for the current row.
    prompts.ChooseNextFiles({FromCp932(renamedIn) + QStringLiteral("軸組図_改表.dxf")});
    const QPoint first = list->visualRect(list->model()->index(0, 2)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window.Busy(); }, 20000));
    list->setCurrentIndex(list->model()->index(0, 0));
    prompts.ChooseNextFiles({FromCp932(movedTo) + QStringLiteral("平面図.dxf")});
    Click("ChooseFileButton");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window.Busy(); }, 20000));

    EXPECT_EQ(prompts.fileFolders, QStringList(2, files.filePath(QStringLiteral("旧/"))));
    const std::vector<FileRecord> stored = StoredRows(1);
    EXPECT_EQ(stored[0][kFileName], Cp932("軸組図_改表.dxf"));
    EXPECT_EQ(stored[0][kFilePath], renamedIn);
    EXPECT_EQ(stored[1][kFileName], Cp932("平面図.dxf"));
    EXPECT_EQ(stored[1][kFilePath], movedTo);
    EXPECT_THAT(prompts.messages, ElementsAre(QStringLiteral("1件を再リンクしました。"),
                                              QStringLiteral("1件を再リンクしました。")));
    EXPECT_THAT(Column(2), ElementsAre("gone.dwg"));

    // A folder that holds none of the names says so, not that nothing is missing.
    RelinkFrom(files.filePath(QStringLiteral("新")));
    EXPECT_EQ(prompts.messages.last(),
              QStringLiteral(
                  "選択したフォルダの中に、リンク切れファイルと同じ名前のファイルは見つかりませんでした。"));
}

TEST_F(MissingFilesTest, aRefusedUpdateIsCountedAndItsRowStays) {
    AddGroup(1, "G");
    // A folder deeper than the 255 bytes PATH_NAME can hold.
    const QString deep = QStringLiteral("tree/") + QString(100, QLatin1Char('d')) + QLatin1Char('/') +
                         QString(100, QLatin1Char('e')) + QLatin1Char('/') + QString(60, QLatin1Char('f'));
    MakeFile(deep + QStringLiteral("/long.dwg"));
    const std::string fits = MakeFile(QStringLiteral("tree/short/ok.dwg"));
    StoreRow(1, 1, "long.dwg", "/old/");
    StoreRow(1, 2, "ok.dwg", "/old/");
    OpenAndWait();

    RelinkFrom(files.filePath(QStringLiteral("tree")));
    ConfirmProposals();

    EXPECT_THAT(prompts.messages,
                ElementsAre(QStringLiteral("1件を再リンクしました。\n1件は再リンクできませんでした。")));
    EXPECT_EQ(StoredRows(1)[0][kFilePath], "/old/");
    EXPECT_EQ(StoredRows(1)[1][kFilePath], fits);
    EXPECT_THAT(Column(2), ElementsAre("long.dwg"));
}

TEST_F(MissingFilesTest, aRegistrationChangedOrNumberedAnewSinceTheScanIsLeftAsItIsAndStaysListed) {
    AddGroup(1, "G");
    const std::string found = MakeFile(QStringLiteral("tree/a/one.dwg"));
    MakeFile(QStringLiteral("tree/a/two.dwg"));
    MakeFile(QStringLiteral("tree/a/three.dwg"));
    StoreRow(1, 1, "one.dwg", "/old/");
    StoreRow(1, 2, "two.dwg", "/old/");
    StoreRow(1, 3, "three.dwg", "/old/");
    OpenAndWait();
    // Meanwhile another desktop moved one registration, and removed the last one, whose number the
    // next registration in the same folder got again.
    ASSERT_TRUE(db.UpdateSet(FileTableName(1), "PATH_NAME='/elsewhere/'", "N=2"));
    ASSERT_TRUE(db.DeleteRows(FileTableName(1), "N=3"));
    StoreRow(1, 3, "new.dwg", "/old/");

    RelinkFrom(files.filePath(QStringLiteral("tree")));
    ConfirmProposals();

    EXPECT_THAT(prompts.messages,
                ElementsAre(QStringLiteral(
                    "1件を再リンクしました。\n2件は他で変更されていたため変更していません。")));
    const std::vector<FileRecord> stored = StoredRows(1);
    EXPECT_EQ(stored[0][kFilePath], found);
    EXPECT_EQ(stored[1][kFilePath], "/elsewhere/");
    EXPECT_EQ(stored[2][kFileName], "new.dwg");
    EXPECT_EQ(stored[2][kFilePath], "/old/");
    EXPECT_THAT(Column(2), ElementsAre("two.dwg", "three.dwg"));
}

TEST_F(MissingFilesTest, leavingTheDatabaseStopsTheScanAndTheRelinkingAndClearsTheList) {
    AddGroup(1, "G");
    MakeFile(QStringLiteral("tree/a/one.dwg"));
    StoreRow(1, 1, "one.dwg", "/old/");
    window.Open();  // the scan's first slice is still to come
    db.DisconnectDatabase();
    db.ConnectDatabase();
    QTest::qWait(50);
    EXPECT_FALSE(window.Busy());
    EXPECT_EQ(window.findChild<QTreeView*>()->model()->rowCount(), 0);
    EXPECT_TRUE(Status().contains(QStringLiteral("一覧を消去しました")));

    OpenAndWait();
    RelinkFrom(files.filePath(QStringLiteral("tree")));
    ASSERT_TRUE(Proposals()->isVisible());
    db.DisconnectDatabase();
    db.ConnectDatabase();
    EXPECT_FALSE(Proposals()->isVisible());
    EXPECT_EQ(StoredRows(1)[0][kFilePath], "/old/");
    EXPECT_EQ(window.findChild<QTreeView*>()->model()->rowCount(), 0);
}

// A folder below `parent` whose own path is longer than any the system opens: it cannot be read,
// whoever walks the tree, root too. Made one level at a time, relative to the level above; removed
// with the tree by a tool that works the same way.
struct FolderBeyondPathLength {
    explicit FolderBeyondPathLength(const std::string& parent) : top(parent + "/" + name) { Make(parent); }
    ~FolderBeyondPathLength() {
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), QString::fromStdString(top)});
    }
    void Make(const std::string& parent);
    const std::string name = std::string(200, 'n');
    const std::string top;
};

void FolderBeyondPathLength::Make(const std::string& parent) {
    int folder = open(parent.c_str(), O_DIRECTORY | O_RDONLY);
    for (int depth = 0; folder >= 0 && depth < 24; ++depth) {
        ASSERT_EQ(mkdirat(folder, name.c_str(), 0755), 0);
        const int deeper = openat(folder, name.c_str(), O_DIRECTORY | O_RDONLY);
        close(folder);
        folder = deeper;
    }
    ASSERT_GE(folder, 0);
    close(folder);
}

TEST(TreeSearch, goesOnPastFoldersItCannotReadCountsThemAndMakesEveryFindAGuess) {
    QTemporaryDir tree;
    const std::string root = tree.path().toStdString();
    const FolderBeyondPathLength unreadable(root);
    std::filesystem::create_symlink("loop", root + "/loop");
    std::filesystem::create_directory_symlink(root, root + "/up");
    for (int i = 0; i < 20; ++i) {
        const std::string folder = root + "/f" + std::to_string(i);
        std::filesystem::create_directory(folder);
        std::ofstream(folder + "/one" + std::to_string(i) + ".dwg").put('x');
    }
    std::set<std::string> wanted;
    for (int i = 0; i < 20; ++i) {
        wanted.insert("one" + std::to_string(i) + ".dwg");
    }
    std::atomic<bool> cancelled{false};
    std::atomic<long long> visited{0};
    const TreeSearchResult walk = FindNamesInTree(root, wanted, cancelled, visited);
    EXPECT_EQ(walk.found.size(), 20u);
    EXPECT_EQ(walk.unreadableFolders, 1);
    EXPECT_THAT(walk.found.at("one3.dwg"), ElementsAre(root + "/f3/"));

    const std::vector<MissingFile> missing{{1, "G", 1, "one3.dwg", "/old/"}};
    const std::vector<RelinkProposal> proposals = ProposeRelinks(missing, walk, {});
    ASSERT_EQ(proposals.size(), 1u);
    EXPECT_TRUE(proposals[0].Guess());
}

TEST(TreeSearch, theLongestSharedTailWinsAndTiesGoByByteOrder) {
    EXPECT_EQ(SharedTailLength("/old/x/y/", "/new/deep/x/y/"), 2);
    EXPECT_EQ(SharedTailLength("C:\\work\\x\\", "/srv/work/x/"), 2);
    EXPECT_EQ(BestCandidate("/old/x/", {"/b/y/", "/a/z/"}), 1);
    EXPECT_EQ(BestCandidate("/old/x/", {"/b/y/", "/a/x/"}), 1);
    EXPECT_EQ(BestCandidate("/old/x/", {}), -1);
}
