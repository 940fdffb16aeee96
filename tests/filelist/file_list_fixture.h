#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "platform/app_context.h"
#include "recording_shell.h"
#include "storage/database.h"
#include "storage/records.h"
#include "support/scripted_prompts.h"
#include "support/test_database.h"

class ImageList;
class QPushButton;

// A file list window over a fresh database with the file tables GRP_1 and GRP_2, real files in a
// temporary folder, scripted prompts and a recording shell.
class FileListTest : public ::testing::Test {
protected:
    FileListTest();
    ~FileListTest() override;

    // Creates a file of `size` bytes in the temporary folder; its path as the program keeps it.
    std::string MakeFile(const QString& name, qint64 size = 1);
    // Inserts a file row directly; an empty text stores NULL.
    void StoreRow(int group, int number, const std::string& fileName, const std::string& folder);
    std::vector<FileRecord> StoredRows(int group);

    // Opens the window for a group as the board does: close, set, show; and waits for the facts of
    // its files.
    void OpenGroup(int group, const std::string& name = "G");
    // Waits until no row of the list is looked for any more; false when one still is.
    bool FactsCame();
    FileListView* List() const;
    ImageList* Images() const;
    QPushButton* Button(const char* name) const;
    // One column's texts of every row, in list order.
    std::vector<std::string> Column(int column) const;
    void ClickHeader(int column);
    // Control-clicks the rows in the details view, adding each to the selection.
    void SelectRows(const std::vector<int>& rows);

    TestDatabaseLocation location;
    Database db{location.settings()};
    QTemporaryDir files;
    std::string folder;  // the temporary folder's path with its final separator
    ScriptedPrompts prompts;
    RecordingShell shell;
    AppContext context;
    std::unique_ptr<TForm3> form;
};
