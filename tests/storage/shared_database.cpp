#include "shared_database.h"

#include "common/sql_literal.h"
#include "storage/schema.h"

void SharedDatabase::SetUpTestSuite() {
    location_ = std::make_unique<TestDatabaseLocation>();
    database_ = std::make_unique<Database>(location_->settings());
    database_->CreateDatabase();
    ASSERT_TRUE(database_->Attached());
    attachmentId_ = database_->SelectMax("RDB$DATABASE", "CURRENT_CONNECTION", "");
    database_->CloseStatement();
    observer_ = std::make_unique<Database>(location_->settings());
    observer_->ConnectDatabase();
}

void SharedDatabase::TearDownTestSuite() {
    observer_.reset();
    database_.reset();
    location_.reset();
}

void SharedDatabase::SetUp() {
    ASSERT_TRUE(database_ && database_->Attached());
    ASSERT_FALSE(attachmentId_.empty());
    database_->SetStatementTrace([this](const std::string& text) { sent.push_back(text); });
    database_->SetErrorHook([this](const std::string& operation, const std::string& message) {
        errors.push_back(operation + ": " + message);
    });
}

void SharedDatabase::TearDown() {
    database_->SetStatementTrace({});
    database_->SetErrorHook({});
    database_->CloseStatement();
}

bool SharedDatabase::InsertFile(const std::string& table, int number, const std::string& name,
                                const std::string& folder) {
    const std::vector<std::string> values{SqlNumber(number), SqlText(name), SqlText(folder)};
    return database_->InsertRow(table, FileColumnNames(), values);
}

std::vector<FileRecord> SharedDatabase::ReadFiles(const std::string& table) {
    const int count = database_->OpenSelect("*", table, "", "N");
    std::vector<FileRecord> rows(count);
    for (int i = 0; i < count; ++i) {
        if (i == 0) {
            database_->ReadFirstRow(rows[i]);
        } else {
            database_->ReadNextRow(rows[i]);
        }
    }
    database_->CloseResult();
    return rows;
}

int SharedDatabase::OpenTransactions(std::string_view condition) {
    // The monitoring tables stand as they were when the observer's transaction first read them: each
    // count starts a transaction of its own.
    observer_->CloseStatement();
    return observer_->CountRows("MON$TRANSACTIONS",
                                "MON$ATTACHMENT_ID = " + attachmentId_ + std::string(condition));
}

int SharedDatabase::OpenWriteTransactions() {
    return OpenTransactions(" AND MON$READ_ONLY = 0");
}

std::string Crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += (i == 0 ? "" : "\r\n") + lines[i];
    }
    return text;
}
