#pragma once

#include <QString>

#include "bench_data.h"
#include "bench_program.h"
#include "bench_support.h"
#include "filelist/file_list_view.h"
#include "filelist/file_list_window.h"
#include "storage/database.h"
#include "storage/schema.h"

// The program's file list window over its own connection, as the board opens it.
struct ProgramFileList {
    explicit ProgramFileList(const BenchFolder& folder)
        : program(folder.ExecutablePath()), database(folder.Settings()), form(program.context, database) {
        database.ConnectDatabase();
        // The change watch has the writes to the open file list told with their transaction.
        database.SetWriteObserver(
            [](const Database::OwnWrite&) {},
            [this](std::string_view table) { return table == FileTableName(form.GroupNo); });
    }

    void Open(int group) {
        form.close();
        form.GroupNo = group;
        form.GroupName = "G";
        form.show();
        Settle();
    }
    FileListView& View() { return *form.findChild<FileListView*>(QStringLiteral("ListView1")); }
    int RowCount() { return View().RowCount(); }

    ProgramContext program;
    Database database;
    TForm3 form;
};
