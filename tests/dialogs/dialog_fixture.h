#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QWidget>
#include <string>

#include "platform/app_context.h"
#include "storage/database.h"
#include "storage/records.h"
#include "support/scripted_prompts.h"
#include "support/test_database.h"
#include "support/typing.h"
#include "support/typing.h"

class QLineEdit;
class QPushButton;

// One application folder (with its img folder), scripted prompts and a database location per test;
// the database is not created yet.
class DialogTest : public ::testing::Test {
protected:
    DialogTest();

    // Creates the database with an empty master table and leaves it attached.
    void CreateGroupDatabase();
    // Inserts a master row directly: values are finished literals in column order.
    void InsertGroupRow(const GroupRecord& literals);
    GroupRecord ReadGroup(int number);
    int CountGroups(const std::string& where);
    // Creates an empty file in the application's img folder; returns its full path.
    QString MakeImgFile(const QString& name);

    TestDatabaseLocation location;
    QTemporaryDir appFolder;
    ScriptedPrompts prompts;
    AppContext context;
    Database database{context.settings};
};

// Shows the window and makes it the active one, as the user would see it.
void ShowActive(QWidget& window);
QLineEdit* EditOf(QWidget& window, const char* name);
QPushButton* ButtonOf(QWidget& window, const char* name);
void Click(QWidget& window, const char* button);
