// A group copied with its file list: the statements of the copy command (source row, next number,
// master row, table copy), beside the same statements sent directly.

#include <array>
#include <memory>

#include "bench_data.h"
#include "bench_support.h"
#include "common/number.h"
#include "common/sql_literal.h"
#include "direct_client.h"
#include "floor.h"
#include "storage/database.h"
#include "storage/records.h"
#include "storage/schema.h"
#include "storage/table_copy.h"

namespace {

constexpr int kCopiedFiles = 2000;
constexpr int kGroups = 10;
constexpr int kSource = 1;
constexpr int kCopy = kGroups + 1;

const BenchFolder& Data() {
    static const std::unique_ptr<BenchFolder> folder = [] {
        auto made = std::make_unique<BenchFolder>();
        AddGroups(*made, kGroups);
        AddFileTable(*made, kSource,
                     DrawingFilePaths(made->FilePath(QStringLiteral("files")), kCopiedFiles, false));
        return made;
    }();
    return *folder;
}

std::string CopyCondition() {
    return "N=" + SqlNumber(kCopy);
}

int CopiedRows() {
    DirectDatabase database(Data().DatabasePath(), DirectDatabase::Open::Attach);
    return HasTable(database, FileTableName(kCopy)) ? database.Query("SELECT * FROM " + FileTableName(kCopy))
                                                    : 0;
}

void GroupCopy(benchmark::State& state) {
    Database database(Data().Settings());
    database.ConnectDatabase();
    TimeEach(
        state,
        [&] {
            database.DeleteRows(kGroupTable, CopyCondition());
            database.DropTable(FileTableName(kCopy));
        },
        [&] {
            GroupRecord source;
            database.OpenSelect("*", kGroupTable, "N=" + SqlNumber(kSource), "");
            database.ReadFirstRow(source);
            database.CloseResult();
            const int number = ParseIntOrZero(database.SelectMax(kGroupTable, "N", "")) + 1;
            std::array<std::string, 11> values;
            for (int column = kGroupName; column <= kGroupIcon; ++column) {
                values[column] = SqlText(source[column]);
            }
            values[kGroupN] = SqlNumber(number);
            values[kGroupX] = SqlNumber(ParseIntOrZero(source[kGroupX]) + 12);
            values[kGroupY] = SqlNumber(ParseIntOrZero(source[kGroupY]) + 12);
            if (database.InsertRow(kGroupTable, GroupColumnNames(), values)) {
                CopyTable(database, FileTableName(kSource), FileTableName(number));
            }
        });
    database.DisconnectDatabase();
    Require(CopiedRows() == kCopiedFiles, "the copy does not hold every file");
}

void GroupCopyFloor(benchmark::State& state) {
    DirectDatabase database(Data().DatabasePath(), DirectDatabase::Open::Attach);
    const std::string source = FileTableName(kSource);
    const std::string target = FileTableName(kCopy);
    TimeEach(
        state,
        [&] {
            database.Execute("DELETE FROM GRPQRT WHERE N=" + std::to_string(kCopy));
            if (HasTable(database, target)) {
                database.Execute("DROP TABLE " + target);
            }
        },
        [&] {
            std::string values;
            database.Query("SELECT * FROM GRPQRT WHERE N=" + std::to_string(kSource),
                           [&](const DirectDatabase::Row& row) {
                               for (unsigned column = 1; column <= 8; ++column) {
                                   values += ", " + Literal(row.IsNull(column) ? "" : row.Text(column));
                               }
                               values += ", " + std::to_string(row.Int(9) + 12) + ", " +
                                         std::to_string(row.Int(10) + 12);
                           });
            int largest = 0;
            database.Query("SELECT MAX(N) FROM GRPQRT",
                           [&](const DirectDatabase::Row& row) { largest = row.Int(0); });
            database.Execute(
                "INSERT INTO GRPQRT (N, GRPNAME, MTITLE, STITLE, PNAME, MEMO1, MEMO2, MEMO3, ICONP, X, Y) "
                "VALUES (" +
                std::to_string(largest + 1) + values + ")");

            if (!HasTable(database, source)) {
                return;
            }
            if (HasTable(database, target)) {
                database.Execute("DELETE FROM " + target);
            } else {
                database.Execute(
                    "CREATE TABLE " + target +
                    " (N INTEGER NOT NULL UNIQUE, FILE_NAME VARCHAR(255), PATH_NAME VARCHAR(255))");
            }
            database.Query("SELECT * FROM " + source);  // the rows to copy
            database.Query("SELECT * FROM " + source);  // the columns to copy
            std::vector<std::string> rows;
            database.Query("SELECT * FROM " + source, [&](const DirectDatabase::Row& row) {
                rows.push_back(std::to_string(row.Int(0)) + ", " + Literal(row.IsNull(1) ? "" : row.Text(1)) +
                               ", " + Literal(row.IsNull(2) ? "" : row.Text(2)));
            });
            for (const std::string& row : rows) {
                database.Execute("INSERT INTO " + target + " (N, FILE_NAME, PATH_NAME) VALUES (" + row + ")");
            }
        });
    Require(CopiedRows() == kCopiedFiles, "the copy does not hold every file");
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    Register("GroupCopy", GroupCopy)->Arg(kCopiedFiles),
    Register("GroupCopyFloor", GroupCopyFloor)->Arg(kCopiedFiles),
};

}  // namespace
