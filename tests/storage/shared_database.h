#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "storage/database.h"
#include "storage/records.h"
#include "support/test_database.h"

// One fresh database for all tests of a fixture, created and attached before the first of them.
// Each test sees the statement texts it sends and the errors the storage layer swallowed.
class SharedDatabase : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static Database& db() { return *database_; }
    static const ConnectionSettings& settings() { return location_->settings(); }

    // Adds one row to a file table; false when the insert failed.
    static bool InsertFile(const std::string& table, int number, const std::string& name,
                           const std::string& folder);
    // Every row of a file table ordered by N.
    static std::vector<FileRecord> ReadFiles(const std::string& table);
    // Transactions the shared connection holds open, as a second connection sees them.
    static int OpenTransactions(std::string_view condition = {});
    // Those of them that may write: what a write left uncommitted. The read transaction a server's
    // connection shares between the reads of a command is not among them.
    static int OpenWriteTransactions();

    std::vector<std::string> sent;    // statement texts of this test, in order
    std::vector<std::string> errors;  // swallowed errors of this test

private:
    inline static std::unique_ptr<TestDatabaseLocation> location_;
    inline static std::unique_ptr<Database> database_;
    inline static std::unique_ptr<Database> observer_;
    inline static std::string attachmentId_;
};

// Statement lines joined the way the client receives them.
std::string Crlf(const std::vector<std::string>& lines);
