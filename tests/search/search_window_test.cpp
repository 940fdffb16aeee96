#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>
#include <mutex>

#include "filelist/file_list_view.h"
#include "relink/folder_replace_dialog.h"
#include "search_fixture.h"
#include "storage/schema.h"

namespace {

// Groups 1 "Alpha" and 2 "Beta"; Beta's files x.dwg and alpha.dwg; the search window opened from
// the tools menu.
class SearchWindowTest : public SearchTest {
protected:
    void SetUp() override {
        AddAlphaAndBeta();
        Start();
        windows->search.mnuSearch->trigger();
    }
    SearchWindow& Window() { return windows->search.window; }
    // The results of the search under way, found over the window's own connection.
    void WaitForResults() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !Window().Searching(); }, 20000));
    }
    QString Status() { return Window().StatusBar1->text(); }
    FileListView* List() { return windows->form3.findChild<FileListView*>(QStringLiteral("ListView1")); }
};

TEST_F(SearchWindowTest, typedTextListsResultsAndEnterOnAFileShowsItsRow) {
    ASSERT_EQ(Window().focusWidget(), Window().Edit1);
    QTest::keyClicks(Window().Edit1, QStringLiteral("ALPHA"));
    QTRY_COMPARE(Status(), QStringLiteral("2件見つかりました。"));
    QTreeWidget* results = Window().ListView1;
    EXPECT_EQ(results->topLevelItem(0)->text(1), QStringLiteral("Alpha (1)"));
    EXPECT_EQ(results->topLevelItem(1)->text(0), QStringLiteral("ファイル"));

    QTest::keyClick(Window().Edit1, Qt::Key_Down);
    EXPECT_EQ(Window().focusWidget(), results);
    EXPECT_EQ(results->currentItem(), results->topLevelItem(0));
    QTest::keyClick(results, Qt::Key_Down);
    QTest::keyClick(results, Qt::Key_Return);
    EXPECT_EQ(board().SelectedGroup, 2);
    EXPECT_EQ(board().Edit1->text(), QStringLiteral("Beta"));
    ASSERT_TRUE(windows->form3.isVisible());
    EXPECT_EQ(windows->form3.GroupNo, 2);
    EXPECT_TRUE(List()->IsSelected(1));
    EXPECT_FALSE(List()->IsSelected(0));
}

TEST_F(SearchWindowTest, textTheCodePageCannotHoldFindsNothingAndSaysWhy) {
    // An emoji, as pasted: there is no key for it.
    Window().Edit1->insert(QStringLiteral("a\U0001F600"));
    QTest::keyClick(Window().Edit1, Qt::Key_Return);
    EXPECT_EQ(Window().ListView1->topLevelItemCount(), 0);
    EXPECT_EQ(Status(), QStringLiteral("使用できない文字が含まれているため検索できません。"));
}

TEST_F(SearchWindowTest, theFileListsContextMenuListsTheGroupsHoldingTheRowsFile) {
    AddGroup(3, "Gamma");
    CreateFileTables({3});
    AddFile(3, 4, "alpha.dwg", "/d/");
    ASSERT_TRUE(board().SelectGroup(2));
    board().OpenSelectedGroup();
    List()->SetStyle(FileListView::Style::Details);
    QAbstractItemView* view = List()->DetailsView();
    ChooseGroupsHolding(*view, 1);
    WaitForResults();
    QTreeWidget* results = Window().ListView1;
    ASSERT_EQ(results->topLevelItemCount(), 2);
    EXPECT_EQ(results->topLevelItem(0)->text(1), QStringLiteral("Beta (2)"));
    EXPECT_EQ(results->topLevelItem(1)->text(1), QStringLiteral("Gamma (3)"));
}

TEST_F(SearchWindowTest, showingTheWindowTeachesItsOwnConnectionTheFileTablesEvenUnderADialog) {
    AddGroup(3, "Gamma");
    CreateFileTables({3, 900});  // 900 is left behind by a group that is gone
    // Kept by the window's thread as long as it may still send anything.
    struct Sent {
        std::mutex mutex;
        std::string named;
    };
    const auto sent = std::make_shared<Sent>();
    Window().TraceStatements([sent](const std::string& text) {
        const std::lock_guard lock(sent->mutex);
        sent->named += text;
    });
    std::vector<std::string> programs;
    board().database().SetStatementTrace([&](const std::string& text) { programs.push_back(text); });
    // The window's own connection disturbs no command of the program's, dialog or not.
    QDialog dialog(&board());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    Window().ShowForTyping();
    QTRY_VERIFY(Window().WarmedUp());
    dialog.close();
    EXPECT_TRUE(programs.empty());
    const std::lock_guard lock(sent->mutex);
    for (const int group : {2, 3}) {
        EXPECT_NE(sent->named.find("FROM " + FileTableName(group)), std::string::npos) << sent->named;
    }
    EXPECT_EQ(sent->named.find("GRP_900"), std::string::npos);
}

TEST_F(SearchWindowTest, leavingTheDatabaseClearsTheResultsAndClosesTheFileList) {
    QTest::keyClicks(Window().Edit1, QStringLiteral("alpha"));
    QTest::keyClick(Window().Edit1, Qt::Key_Return);
    WaitForResults();
    ASSERT_EQ(Window().ListView1->topLevelItemCount(), 2);
    board().SelectGroup(2);
    board().OpenSelectedGroup();
    ASSERT_TRUE(windows->form3.isVisible());

    board().database().DisconnectDatabase();
    EXPECT_EQ(Window().ListView1->topLevelItemCount(), 0);
    EXPECT_FALSE(windows->form3.isVisible());
}

TEST_F(SearchWindowTest, newFoldersShowInTheResultsAndTheOpenFileList) {
    QTest::keyClicks(Window().Edit1, QStringLiteral("alpha"));
    QTest::keyClick(Window().Edit1, Qt::Key_Return);
    WaitForResults();
    board().SelectGroup(2);
    board().OpenSelectedGroup();
    prompts.AnswerNextQuestion(true);
    board().findChild<QAction*>(QStringLiteral("mnuReplaceFolder"))->trigger();
    QDialog& replace = *windows->relink.folderReplace;
    EditIn(replace, "Edit1")->setText(QStringLiteral("/d/"));
    EditIn(replace, "Edit2")->setText(QStringLiteral("/e/"));
    ClickIn(replace, "OkButton");
    WaitForResults();
    ASSERT_EQ(FilesOf(2)[1][kFilePath], "/e/");
    EXPECT_EQ(Window().ListView1->topLevelItem(1)->text(3), QStringLiteral("/e/"));
    EXPECT_EQ(List()->Row(1).folder, "/e/");
}

}  // namespace
