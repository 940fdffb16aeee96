#pragma once

#include <QStringList>
#include <filesystem>

#include "program_fixture.h"
#include "support/group_library.h"

// The whole program over a database of three groups with 2, 4 and 6 registrations, its automatic
// backup not held back. Every text the status line showed is kept.
class BackupProgram : public ProgramTest {
protected:
    BackupProgram();
    ~BackupProgram() override { windows.reset(); }

    // Starts the program; its automatic backup waits `automaticDelayMs` after attaching.
    void StartProgram(int automaticDelayMs = 0);
    BackupKeeper& keeper() { return windows->backup.keeper; }
    // The folder of the test database's backups.
    std::filesystem::path Folder() const;
    std::filesystem::path DatabaseFile() const;
    // A proven backup of the database as it is now, said to be made at `time` (now when 0).
    BackupEntry MakeBackup(std::int64_t time = 0);
    // Waits until the status line has shown `text`.
    bool StatusShowed(const QString& text, int timeoutMs = 60000);

    TestDatabaseLocation location;
    LibraryContents library;
    QStringList statusTexts;
};
