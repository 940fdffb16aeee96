#include "storage/send_history.h"

#include <array>
#include <charconv>

#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/row_walk.h"

namespace {

const std::array<std::string, 10>& Columns() {
    static const std::array<std::string, 10> names{
        "SENT_UTC",     "DESKTOP",    "USER_NAME",     "GROUP_NO",   "GROUP_NAME",
        "PACKAGE_NAME", "FILE_COUNT", "MISSING_COUNT", "BYTE_COUNT", "LIST_SHA256"};
    return names;
}

bool CreateSendHistoryTable(Database& database) {
    return database.ExecuteScript(
        {"CREATE TABLE QRTSEND (", "  SENT_UTC TIMESTAMP NOT NULL,", "  DESKTOP VARCHAR(64),",
         "  USER_NAME VARCHAR(16),", "  GROUP_NO INTEGER,", "  GROUP_NAME VARCHAR(32),",
         "  PACKAGE_NAME VARCHAR(255),", "  FILE_COUNT INTEGER,", "  MISSING_COUNT INTEGER,",
         "  BYTE_COUNT BIGINT,", "  LIST_SHA256 VARCHAR(64)", "  );"});
}

std::int64_t Int64OrZero(const std::string& text) {
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// The server's text of a timestamp, "2026-12-08 10:22:33.0000", to the second.
std::string ToTheSecond(const std::string& timestamp) {
    return timestamp.substr(0, 19);
}

}  // namespace

bool RecordSend(Database& database, const SendRecord& record) {
    // A table created meanwhile by another desktop makes this creation fail; the insert then goes to
    // theirs.
    if (!database.TableExists(kSendHistoryTable)) {
        CreateSendHistoryTable(database);
    }
    const std::array<std::string, 10> values{SqlText(record.sentUtc),   SqlText(record.desktop),
                                             SqlText(record.userName),  SqlNumber(record.groupNo),
                                             SqlText(record.groupName), SqlText(record.packageName),
                                             SqlNumber(record.files),   SqlNumber(record.missing),
                                             SqlNumber(record.bytes),   SqlText(record.listSha256)};
    return database.InsertRow(kSendHistoryTable, Columns(), values);
}

std::vector<SendRecord> ReadSendHistory(Database& database, std::int64_t groupNo, bool& read) {
    std::vector<SendRecord> records;
    read = true;
    if (!database.TableExists(kSendHistoryTable)) {
        return records;
    }
    // The time as SQL writes it, "2026-12-08 10:22:33.0000", not in the client's own form.
    std::string columns = "CAST(SENT_UTC AS VARCHAR(24))";
    for (std::size_t i = 1; i < Columns().size(); ++i) {
        columns += ", " + Columns()[i];
    }
    const std::string where = groupNo == 0 ? std::string() : "GROUP_NO=" + SqlNumber(groupNo);
    const int count = database.OpenSelect(columns, kSendHistoryTable, where, "SENT_UTC DESC");
    read = database.ResultOpen();
    std::array<std::string, 10> row;
    WalkRows(database, count, row, [&] {
        records.push_back(SendRecord{ToTheSecond(row[0]), row[1], row[2], Int64OrZero(row[3]), row[4], row[5],
                                     Int64OrZero(row[6]), Int64OrZero(row[7]), Int64OrZero(row[8]), row[9]});
    });
    return records;
}
