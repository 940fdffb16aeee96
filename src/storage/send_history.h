#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Database;

// The record of the drawing sets sent, one row a package, in a table of its own that every desktop
// sharing the database reads. The table is created by the first send; a database without it has sent
// nothing. Texts are code-page bytes.
inline constexpr const char* kSendHistoryTable = "QRTSEND";

struct SendRecord {
    std::string sentUtc;   // "YYYY-MM-DD HH:MM:SS", UTC (written to the millisecond, read to the second)
    std::string desktop;   // the sending machine's name
    std::string userName;  // the program's user name (the default author)
    std::int64_t groupNo = 0;
    std::string groupName;
    std::string packageName;   // the folder's or the ZIP file's name
    std::int64_t files = 0;    // files sent
    std::int64_t missing = 0;  // registrations whose file was not there
    std::int64_t bytes = 0;
    std::string listSha256;  // of the drawing list as written into the package

    bool operator==(const SendRecord&) const = default;
};

// Adds `record`, creating the table first when there is none (another desktop may create it at the
// same moment: its table serves). False when the row was not committed.
bool RecordSend(Database& database, const SendRecord& record);
// The records of group `groupNo`, or of every group for 0, newest first. Nothing when the table is not
// there; `read` is false when it could not be read.
std::vector<SendRecord> ReadSendHistory(Database& database, std::int64_t groupNo, bool& read);
