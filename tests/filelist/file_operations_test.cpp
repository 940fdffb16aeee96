#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "common/codepage.h"
#include "file_list_fixture.h"
#include "platform/codec.h"
#include "storage/schema.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

std::vector<std::string> Numbers(const std::vector<FileRecord>& rows) {
    std::vector<std::string> numbers;
    for (const FileRecord& row : rows) {
        numbers.push_back(row[kFileN]);
    }
    return numbers;
}

const QString kRemoveQuestion = QStringLiteral("選択したファイルを除去します。よろしいですか？");

}  // namespace

class FileOperationsTest : public FileListTest {
protected:
    void Add(const std::vector<std::string>& paths) {
        QStringList chosen;
        for (const std::string& path : paths) {
            chosen << FromCp932(path);
        }
        prompts.ChooseNextFiles(chosen);
        QTest::mouseClick(Button("Button1"), Qt::LeftButton);
    }
    void Remove(const std::vector<int>& rows, bool answer) {
        SelectRows(rows);
        prompts.AnswerNextQuestion(answer);
        QTest::mouseClick(Button("Button5"), Qt::LeftButton);
    }
    void SetUp() override {
        form->SetViewStyleIndex(2);  // details, where the tests select rows
        OpenGroup(1);
    }
};

TEST_F(FileOperationsTest, addNumbersChosenFilesInOrderAndShowsThemAtOnce) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"), 10);
    const std::string b = MakeFile(QStringLiteral("b.dwg"), 20);
    const std::string c = MakeFile(QStringLiteral("c.dwg"), 30);
    Add({c, a, b});
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("1", "2", "3"));
    EXPECT_THAT(Column(kColumnFileName), ElementsAre("c.dwg", "a.dwg", "b.dwg"));
    ASSERT_TRUE(FactsCame());
    EXPECT_THAT(Column(kColumnSize), ElementsAre("30", "10", "20"));
    const std::vector<FileRecord> stored = StoredRows(1);
    ASSERT_THAT(Numbers(stored), ElementsAre("1", "2", "3"));
    EXPECT_EQ(stored[0], (FileRecord{"1", "c.dwg", folder}));
    EXPECT_THAT(prompts.messages, IsEmpty());
}

TEST_F(FileOperationsTest, aFileTheGroupHoldsIsRegisteredAgainOnlyWhenTheUserSaysSo) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    const std::string b = MakeFile(QStringLiteral("b.dwg"));
    Add({a});
    prompts.AnswerNextQuestion(true);
    Add({a});
    EXPECT_THAT(
        prompts.questions,
        ElementsAre(
            QStringLiteral("次のファイルは既にこのグループに登録されています。もう一度登録しますか？\n") +
            FromCp932(a)));
    prompts.AnswerNextQuestion(false);
    Add({b, a});  // the new one is registered all the same
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("1", "2", "3"));
    EXPECT_THAT(Column(kColumnFileName), ElementsAre("a.dwg", "a.dwg", "b.dwg"));
    EXPECT_THAT(Numbers(StoredRows(1)), ElementsAre("1", "2", "3"));
}

TEST_F(FileOperationsTest, cancelledPickerChangesNothing) {
    Add({});
    EXPECT_EQ(prompts.fileRequests, 1);
    EXPECT_EQ(List()->RowCount(), 0);
    EXPECT_THAT(StoredRows(1), IsEmpty());
}

TEST_F(FileOperationsTest, namesWithQuotesAreStoredExactlyAndFoundAgain) {
    const std::string path = MakeFile(QStringLiteral("it's \"A\".dwg"), 7);
    std::vector<std::string> sent;
    db.SetStatementTrace([&](const std::string& text) { sent.push_back(text); });
    Add({path});
    db.SetStatementTrace(nullptr);
    ASSERT_FALSE(sent.empty());
    EXPECT_NE(sent.back().find("   'it''s \"A\".dwg',"), std::string::npos) << sent.back();
    EXPECT_EQ(StoredRows(1)[0][kFileName], "it's \"A\".dwg");

    OpenGroup(1);
    EXPECT_THAT(Column(kColumnFileName), ElementsAre("it's \"A\".dwg"));
    EXPECT_THAT(Column(kColumnSize), ElementsAre("7"));
    EXPECT_EQ(List()->ImageIndex(0), 0);
}

TEST_F(FileOperationsTest, aNameTypedWithAWaveDashIsStoredInTheCodePageAndFoundOnDisk) {
    const QString name = QStringLiteral("軸組図_X1通り〜X12通り表.dxf");
    MakeFile(name, 7);
    prompts.ChooseNextFiles({files.filePath(name)});  // as the file dialog names it
    QTest::mouseClick(Button("Button1"), Qt::LeftButton);
    ASSERT_THAT(StoredRows(1), testing::SizeIs(1));
    EXPECT_EQ(StoredRows(1)[0][kFileName], Cp932("軸組図_X1通り～X12通り表.dxf"));

    OpenGroup(1);
    EXPECT_THAT(Column(kColumnSize), ElementsAre("7"));
    EXPECT_EQ(List()->ImageIndex(0), 0);
    SelectRows({0});
    QTest::mouseDClick(
        List()->DetailsView()->viewport(), Qt::LeftButton, Qt::ControlModifier,
        List()->DetailsView()->visualRect(List()->DetailsView()->model()->index(0, 0)).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.opened.isEmpty(); }));
    EXPECT_EQ(shell.opened, QStringList{files.filePath(name)});
}

TEST_F(FileOperationsTest, refusedInsertIsTakenOutOfTheListAndReportedOnce) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    const std::string longFolder = folder + std::string(250, 'f') + "/";
    Add({a, longFolder + "x.dwg", longFolder + "y.dwg", a});
    EXPECT_THAT(Column(kColumnFileName), ElementsAre("a.dwg", "a.dwg"));
    EXPECT_THAT(Numbers(StoredRows(1)), ElementsAre("1", "2"));
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("登録失敗")});
}

TEST_F(FileOperationsTest, addToADroppedTableListsNothingAndSaysSo) {
    ASSERT_TRUE(db.DropTable(FileTableName(1)));
    Add({MakeFile(QStringLiteral("a.dwg")), MakeFile(QStringLiteral("b.dwg"))});
    EXPECT_EQ(List()->RowCount(), 0);
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("登録失敗")});
}

TEST_F(FileOperationsTest, fileTheCodePageCannotHoldIsNamedAndTheOthersRegistered) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    const std::string b = MakeFile(QStringLiteral("b.dwg"));
    QFile odd(files.filePath(QStringLiteral("한글.dwg")));
    ASSERT_TRUE(odd.open(QIODevice::WriteOnly));
    prompts.ChooseNextFiles({FromCp932(a), odd.fileName(), FromCp932(b)});
    QTest::mouseClick(Button("Button1"), Qt::LeftButton);
    EXPECT_THAT(Column(kColumnFileName), ElementsAre("a.dwg", "b.dwg"));
    EXPECT_THAT(Numbers(StoredRows(1)), ElementsAre("1", "2"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(odd.fileName())) << prompts.messages[0].toStdString();
}

TEST_F(FileOperationsTest, copyInOneGroupPastesIntoAnotherAsOftenAsAsked) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    const std::string b = MakeFile(QStringLiteral("b.dwg"));
    const std::string c = MakeFile(QStringLiteral("c.dwg"));
    Add({a, b, c});
    SelectRows({2, 0});
    QTest::mouseClick(Button("Button3"), Qt::LeftButton);
    EXPECT_EQ(context.fileCopyBuffer, (FileCopyBuffer{a, c}));
    EXPECT_THAT(Numbers(StoredRows(1)), ElementsAre("1", "2", "3"));

    StoreRow(2, 5, "old.dwg", folder);
    OpenGroup(2);
    QTest::mouseClick(Button("Button4"), Qt::LeftButton);
    EXPECT_THAT(prompts.questions, IsEmpty());
    prompts.AnswerNextQuestion(true);  // the group holds them now
    QTest::mouseClick(Button("Button4"), Qt::LeftButton);
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("5", "6", "7", "8", "9"));
    EXPECT_THAT(Column(kColumnFileName), ElementsAre("old.dwg", "a.dwg", "c.dwg", "a.dwg", "c.dwg"));
    EXPECT_THAT(Numbers(StoredRows(2)), ElementsAre("5", "6", "7", "8", "9"));
    EXPECT_EQ(context.fileCopyBuffer, (FileCopyBuffer{a, c}));
}

TEST_F(FileOperationsTest, deleteCtrlCAndCtrlVDoWhatTheirButtonsDo) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    const std::string b = MakeFile(QStringLiteral("b.dwg"));
    Add({a, b});
    SelectRows({1});
    QTest::keyClick(List()->DetailsView(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(context.fileCopyBuffer, FileCopyBuffer{b});

    OpenGroup(2);
    QTest::keyClick(List()->DetailsView(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_THAT(Column(kColumnFileName), ElementsAre("b.dwg"));
    SelectRows({0});
    prompts.AnswerNextQuestion(true);
    QTest::keyClick(List()->DetailsView(), Qt::Key_Delete);
    EXPECT_EQ(prompts.questions, QStringList{kRemoveQuestion});
    EXPECT_THAT(StoredRows(2), IsEmpty());
}

TEST_F(FileOperationsTest, pasteWithAnEmptyBufferDoesNothing) {
    QTest::mouseClick(Button("Button4"), Qt::LeftButton);
    Add({MakeFile(QStringLiteral("a.dwg"))});
    QTest::mouseClick(Button("Button3"), Qt::LeftButton);  // nothing selected: empties the buffer
    EXPECT_TRUE(context.fileCopyBuffer.empty());
    QTest::mouseClick(Button("Button4"), Qt::LeftButton);
    EXPECT_THAT(Numbers(StoredRows(1)), ElementsAre("1"));
    EXPECT_EQ(List()->RowCount(), 1);
}

TEST_F(FileOperationsTest, pasteStoresTheResolvedFolderOfARedirectedDrive) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    shell.drives = {{"X:", folder.substr(0, folder.size() - 1)}};
    context.fileCopyBuffer = {"X:/a.dwg", "C:/b.dwg"};
    QTest::mouseClick(Button("Button4"), Qt::LeftButton);
    const std::vector<FileRecord> stored = StoredRows(1);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0], (FileRecord{"1", "a.dwg", folder}));
    EXPECT_EQ(stored[1], (FileRecord{"2", "b.dwg", "C:/"}));
}

TEST_F(FileOperationsTest, bufferedPathEndingInASeparatorStoresNullName) {
    context.fileCopyBuffer = {folder};
    QTest::mouseClick(Button("Button4"), Qt::LeftButton);
    EXPECT_EQ(StoredRows(1)[0], (FileRecord{"1", "", folder}));
}

TEST_F(FileOperationsTest, removingTheHighestNumbersLetsThemBeUsedAgain) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    const std::string b = MakeFile(QStringLiteral("b.dwg"));
    Add({a, a, a});
    Remove({1, 2}, true);
    EXPECT_EQ(prompts.questions, QStringList{kRemoveQuestion});
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("1"));
    Add({b});
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("1", "2"));
    EXPECT_THAT(Numbers(StoredRows(1)), ElementsAre("1", "2"));
}

TEST_F(FileOperationsTest, removingAMiddleNumberLeavesAGap) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    const std::string b = MakeFile(QStringLiteral("b.dwg"));
    Add({a, a, a});
    Remove({1}, true);
    Add({b});
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("1", "3", "4"));
    EXPECT_THAT(Numbers(StoredRows(1)), ElementsAre("1", "3", "4"));
}

TEST_F(FileOperationsTest, removalAfterSortingByNameTakesTheSelectedRowsNumbers) {
    StoreRow(1, 2, "c.dwg", folder);
    StoreRow(1, 5, "a.dwg", folder);
    StoreRow(1, 9, "b.dwg", folder);
    OpenGroup(1);
    ClickHeader(kColumnFileName);
    ASSERT_THAT(Column(kColumnNumber), ElementsAre("5", "9", "2"));
    Remove({0, 2}, true);
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("9"));
    EXPECT_THAT(Numbers(StoredRows(1)), ElementsAre("9"));
}

TEST_F(FileOperationsTest, answeringNoOrSelectingNothingRemovesNothing) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    Add({a, a});
    Remove({0}, false);
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("1", "2"));
    List()->DetailsView()->clearSelection();
    Remove({}, true);
    EXPECT_EQ(prompts.questions, (QStringList{kRemoveQuestion, kRemoveQuestion}));
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("1", "2"));
    EXPECT_THAT(Numbers(StoredRows(1)), ElementsAre("1", "2"));
}

TEST_F(FileOperationsTest, rowStaysWhenItsDeleteIsRefused) {
    const std::string a = MakeFile(QStringLiteral("a.dwg"));
    Add({a, a});
    ASSERT_TRUE(db.DropTable(FileTableName(1)));
    Remove({0, 1}, true);
    EXPECT_THAT(Column(kColumnNumber), ElementsAre("1", "2"));
    EXPECT_EQ(prompts.messages, QStringList{QStringLiteral("削除失敗")});
}
