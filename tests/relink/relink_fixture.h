#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "platform/app_context.h"
#include "storage/database.h"
#include "storage/records.h"
#include "support/scripted_prompts.h"
#include "support/test_database.h"

// A fresh database with a master table, a temporary folder for real files and scripted prompts.
class RelinkTest : public ::testing::Test {
protected:
    RelinkTest();
    ~RelinkTest() override;

    // A group row, and its file table unless `withTable` is false.
    void AddGroup(int number, const std::string& name, bool withTable = true);
    void StoreRow(int group, int number, const std::string& fileName, const std::string& folder);
    std::vector<FileRecord> StoredRows(int group);
    // Creates an empty file below the temporary folder (folders made as needed); answers its folder
    // as the program stores it, ending in the separator.
    std::string MakeFile(const QString& relativePath);
    // The temporary folder's path plus `relative`, as code-page bytes.
    std::string Under(const QString& relative) const;

    TestDatabaseLocation location;
    Database db{location.settings()};
    QTemporaryDir files;
    ScriptedPrompts prompts;
    AppContext context;
};
