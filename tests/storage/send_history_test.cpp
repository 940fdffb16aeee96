#include <gtest/gtest.h>

#include "shared_database.h"
#include "storage/send_history.h"
#include "support/full_length_names.h"

void PrintTo(const SendRecord& record, std::ostream* out) {
    *out << record.sentUtc << "|" << record.desktop << "|" << record.userName << "|" << record.groupNo << "|"
         << record.groupName << "|" << record.packageName << "|" << record.files << "|" << record.missing << "|"
         << record.bytes << "|" << record.listSha256;
}

TEST_F(SharedDatabase, theSendHistoryIsCreatedByTheFirstSendAndListedNewestFirstPerGroupAndAll) {
    bool read = false;
    EXPECT_TRUE(ReadSendHistory(db(), 0, read).empty());
    EXPECT_TRUE(read);
    EXPECT_FALSE(db().TableExists(kSendHistoryTable));  // reading creates nothing

    const SendRecord first{"2026-12-08 01:02:03",
                           "desk01",
                           FullLengthText("u", 16, "", false),
                           7,
                           FullLengthText("g", 32, "", false),
                           FullLengthName("p"),
                           2000,
                           3,
                           2147483648000ll,
                           std::string(64, 'a')};
    SendRecord second = first;
    second.sentUtc = "2026-12-09 00:00:00";
    second.groupNo = 8;
    std::vector<std::string> statements;
    db().SetStatementTrace([&](const std::string& text) { statements.push_back(text); });
    ASSERT_TRUE(RecordSend(db(), first));
    ASSERT_TRUE(RecordSend(db(), second));
    db().SetStatementTrace({});
    const std::string create =
        "CREATE TABLE QRTSEND (\r\n  SENT_UTC TIMESTAMP NOT NULL,\r\n  DESKTOP VARCHAR(64),\r\n"
        "  USER_NAME VARCHAR(16),\r\n  GROUP_NO INTEGER,\r\n  GROUP_NAME VARCHAR(32),\r\n"
        "  PACKAGE_NAME VARCHAR(255),\r\n  FILE_COUNT INTEGER,\r\n  MISSING_COUNT INTEGER,\r\n"
        "  BYTE_COUNT BIGINT,\r\n  LIST_SHA256 VARCHAR(64)\r\n  );";
    EXPECT_EQ(std::count(statements.begin(), statements.end(), create), 1);

    EXPECT_EQ(ReadSendHistory(db(), 0, read), (std::vector<SendRecord>{second, first}));
    EXPECT_EQ(ReadSendHistory(db(), 7, read), (std::vector<SendRecord>{first}));
    EXPECT_TRUE(read);
    EXPECT_TRUE(errors.empty());
    ASSERT_TRUE(db().DropTable(kSendHistoryTable));
}
