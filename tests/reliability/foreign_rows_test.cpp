#include <QLabel>
#include <QRegularExpression>
#include <limits>

#include "common/codepage.h"
#include "common/sql_literal.h"
#include "program_fixture.h"
#include "storage/schema.h"
#include "window_steps.h"

namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kSmallest = std::numeric_limits<std::int32_t>::min();
// Not CP932: a lead byte before a blank, two bytes no character starts with, and a lead byte that
// ends the text.
const std::string kNotCp932("\x81\x20\xFF\xFE\x82", 5);

// Tables written by another client that took the same columns but none of the constraints: any
// number may be NULL, negative or repeated, and every text may fill its column.
class ForeignRows : public BoardTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(other.DropTable(kGroupTable));
        ASSERT_TRUE(other.ExecuteScript(
            {"CREATE TABLE GRPQRT (N INTEGER, GRPNAME VARCHAR(32),", "  MTITLE VARCHAR(80),",
             "  STITLE VARCHAR(80), PNAME VARCHAR(16), MEMO1 VARCHAR(80),",
             "  MEMO2 VARCHAR(80), MEMO3 VARCHAR(80), ICONP VARCHAR(40),", "  X INTEGER, Y INTEGER);"}));
        ASSERT_TRUE(other.ExecuteScript(
            {"CREATE TABLE GRP_1 (N INTEGER, FILE_NAME VARCHAR(255),", "  PATH_NAME VARCHAR(255));"}));
    }

    void Group(const std::string& number, const std::string& name, const std::string& picture,
               const std::string& x, const std::string& y, const std::string& otherTexts = "") {
        const std::string text = SqlText(otherTexts);
        const std::array<std::string, 11> values{
            number, SqlText(name),    text, text, SqlText(otherTexts.substr(0, 16)), text, text,
            text,   SqlText(picture), x,    y};
        ASSERT_TRUE(other.InsertRow(kGroupTable, GroupColumnNames(), values));
    }

    void File(const std::string& number, const std::string& name, const std::string& folder) {
        const std::array<std::string, 3> values{number, SqlText(name), SqlText(folder)};
        ASSERT_TRUE(other.InsertRow(FileTableName(1), FileColumnNames(), values));
    }
};

// `count` copies of a double-byte character: `2 * count` bytes.
std::string Repeated(const char* utf8, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += Cp932(utf8);
    }
    return text;
}

}  // namespace

TEST_F(ForeignRows, theBoardShowsEveryGroupItCanAndNothingElse) {
    const std::string fullName = Repeated("漢", 16);
    Group("NULL", "no number", "", "0", "0");
    Group("-7", "negative", "", "0", "0");
    Group("0", "zero", "", "0", "0");
    Group("1", fullName, std::string(36, 'p') + ".bmp", "10", "10", Repeated("字", 40));
    Group("1", "one again", "", "20", "20");
    Group("2", kNotCp932, kNotCp932, "NULL", "NULL", kNotCp932);
    Group("3", "far away", "", SqlNumber(kLargest), SqlNumber(kSmallest));
    Group(SqlNumber(kLargest), "last", "", "100", "100");
    Start();
    TForm1& form = board();
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(form.GroupSlots.SlotCount(), kLargest);

    QStringList icons;
    for (const QLabel* icon : form.Board->findChildren<QLabel*>(QRegularExpression("^Imag"))) {
        icons << icon->objectName();
    }
    icons.sort();
    EXPECT_EQ(icons, (QStringList{"Imag1", "Imag2", "Imag2147483647", "Imag3"}));
    // One of the two rows of number 1, and the full name of the first shows whole.
    const QString one = CaptionOf(form, 1)->text();
    EXPECT_TRUE(one == QString::fromStdString(Utf8FromCp932(fullName)) || one == QStringLiteral("one again"));
    EXPECT_EQ(form.findChildren<QLabel*>(QStringLiteral("Labe1")).size(), 1);
    // Bytes that are no text show as replacement characters, at the place of a NULL position.
    EXPECT_TRUE(CaptionOf(form, 2)->text().contains(QChar::ReplacementCharacter));
    EXPECT_EQ(IconOf(form, 2)->pos(), QPoint(0, 0));
    EXPECT_EQ(CaptionOf(form, kLargest)->text(), QStringLiteral("last"));

    // There is no number after the largest: creating a group fails and says so.
    CreateGroup(form, QStringLiteral("one more"));
    EXPECT_EQ(prompts.messages, QStringList{"登録失敗"});
    EXPECT_EQ(form.GroupSlots.SlotCount(), kLargest);
}

TEST_F(ForeignRows, theFileListShowsEveryRowAndRefusesANumberPastTheLargest) {
    Group("1", "one", "", "0", "0");
    File("NULL", "no number.dwg", "/nowhere/");
    File("-1", kNotCp932, kNotCp932);
    File(SqlNumber(kLargest), std::string(255, 'n'), std::string(254, 'f') + "/");
    Start();
    TForm3& fileList = windows->form3;
    OpenFileList(board(), 1);
    const std::vector<FileRowTexts> rows = ListedRows(fileList);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].number, "0");  // NULL sorts first and reads as 0
    EXPECT_EQ(rows[1].number, "-1");
    EXPECT_EQ(rows[2].number, "2147483647");
    EXPECT_EQ(rows[2].fileName, std::string(255, 'n'));
    for (const FileRowTexts& row : rows) {
        EXPECT_EQ(row.time, "<No File>");
    }

    // The next number does not fit the column: refused, reported, and not listed.
    AddFiles(fileList, prompts, {QString::fromStdString(location.folder()) + QStringLiteral("new.dwg")});
    EXPECT_EQ(prompts.messages, QStringList{"登録失敗"});
    EXPECT_EQ(ListedRows(fileList).size(), 3u);
}
