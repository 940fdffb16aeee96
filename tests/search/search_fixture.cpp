#include "search_fixture.h"

#include <QAbstractItemView>
#include <array>

#include "common/codepage.h"
#include "common/sql_literal.h"
#include "storage/row_walk.h"
#include "storage/schema.h"
#include "support/context_menu.h"

std::string J(std::string_view utf8) {
    return Cp932(utf8);
}

void SearchTest::AddGroup(int number, const std::string& name, const std::string& memo3) {
    const std::array<std::string, 11> values{
        SqlNumber(number), SqlText(name), "NULL", "NULL", "NULL", "NULL", "NULL",
        SqlText(memo3),    "NULL",        "0",    "0"};
    ASSERT_TRUE(other.InsertRow(kGroupTable, GroupColumnNames(), values));
}

void SearchTest::CreateFileTables(const std::vector<int>& groups) {
    std::vector<std::string> lines{"EXECUTE BLOCK AS BEGIN"};
    for (const int group : groups) {
        lines.push_back("EXECUTE STATEMENT 'CREATE TABLE " + FileTableName(group) +
                        " (N INTEGER NOT NULL UNIQUE, FILE_NAME VARCHAR(255), PATH_NAME VARCHAR(255))';");
    }
    lines.push_back("END");
    ASSERT_TRUE(other.ExecuteScript(lines));
}

void SearchTest::AddFile(int group, int number, const std::string& fileName, const std::string& folder) {
    const std::array<std::string, 3> values{SqlNumber(number), SqlText(fileName), SqlText(folder)};
    ASSERT_TRUE(other.InsertRow(FileTableName(group), FileColumnNames(), values));
}

void SearchTest::AddAlphaAndBeta() {
    AddGroup(1, "Alpha");
    AddGroup(2, "Beta");
    CreateFileTables({2});
    AddFile(2, 1, "x.dwg", "/d/");
    AddFile(2, 2, "alpha.dwg", "/d/");
}

std::vector<FileRecord> SearchTest::FilesOf(int group) {
    std::vector<FileRecord> files;
    FileRecord row;
    WalkRows(other, other.OpenSelect("*", FileTableName(group), "", "N"), row, [&] { files.push_back(row); });
    return files;
}

void SearchTest::ChooseGroupsHolding(QAbstractItemView& view, int row) {
    ChooseFromContextMenu(view, row, QStringLiteral("mnuGroupsHolding"));
}
