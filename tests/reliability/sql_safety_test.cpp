#include <QDir>

#include "common/codepage.h"
#include "outside_tools.h"
#include "picture_files.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "window_steps.h"

namespace {

// Names that end a literal early if a quote inside them is not doubled, followed by statements.
const QString kFolder = QStringLiteral("O'Brien \"plans\" '); DROP TABLE GRP_2; --");
const QString kDeleteAll = QStringLiteral("a'); DELETE FROM GRPQRT; --.dwg");
const QString kDropTable = QStringLiteral("b\"; DROP TABLE GRP_1; '--.dwg");

class SqlSafety : public BoardTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(other.DropTable(kGroupTable));
        ASSERT_TRUE(StoreTwoGroups(other));
        ASSERT_TRUE(QDir(files.path()).mkpath(kFolder));
        folder = files.filePath(kFolder) + QDir::separator();
        for (const QString& name : {kDeleteAll, kDropTable}) {
            WriteFile(folder + name, QByteArray("drawing"));
        }
        Start();
    }

    FileRecord Stored(int number, const QString& name) const {
        return {std::to_string(number), name.toStdString(), folder.toStdString()};
    }

    QTemporaryDir files;
    QString folder;
};

}  // namespace

TEST_F(SqlSafety, namesWithQuotesAreRegisteredLiterallyAndEveryTableStaysIntact) {
    const TableContents before = ReadAllTables(other);
    TForm3& fileList = windows->form3;
    OpenFileList(board(), 1);
    AddFiles(fileList, prompts, {folder + kDeleteAll, folder + kDropTable});
    SelectAllRows(fileList);
    ClickIn(fileList, "Button3");
    OpenFileList(board(), 2);
    ClickIn(fileList, "Button4");
    RemoveAllRows(fileList, prompts);
    ClickIn(fileList, "Button4");
    EXPECT_TRUE(prompts.messages.isEmpty());

    const TableContents after = ReadAllTables(other);
    EXPECT_EQ(after.at(kGroupTable), before.at(kGroupTable));
    const auto asRows = [](const FileRecord& a, const FileRecord& b) {
        return std::vector<std::vector<std::string>>{{a.begin(), a.end()}, {b.begin(), b.end()}};
    };
    EXPECT_EQ(after.at(FileTableName(1)), asRows(Stored(1, kDeleteAll), Stored(2, kDropTable)));
    EXPECT_EQ(after.at(FileTableName(2)), asRows(Stored(1, kDeleteAll), Stored(2, kDropTable)));
    EXPECT_EQ(after.size(), before.size());

    // Shown again from the database, the names still find their files.
    OpenFileList(board(), 1);
    const std::vector<FileRowTexts> rows = ListedRows(fileList);
    ASSERT_EQ(rows.size(), 2u);
    for (const FileRowTexts& row : rows) {
        EXPECT_EQ(row.folder, folder.toStdString());
        EXPECT_EQ(row.size, "7") << row.fileName;
    }
}
