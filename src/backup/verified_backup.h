#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "backup/backup_catalog.h"
#include "common/connection_settings.h"
#include "storage/services.h"

// One backup of a database, made through Firebird and proven before it is kept: the backup is
// restored into a temporary embedded database whose groups and registrations must be what the
// database held when the backup was taken. Only then does it join the kept ones, and only then are
// old ones let go (see retention.h).
struct BackupJob {
    ConnectionSettings database;
    std::filesystem::path folder;  // this database's backups
    // Where the check's temporary database is made (empty: none), the backups folder when nothing can
    // be made there or it has no room.
    std::filesystem::path checkFolder;
    std::int64_t now = 0;  // seconds since 1970, UTC: the new backup's time
    // The automatic backup: only when the newest kept one is more than a day old and the database
    // changed since.
    bool onlyWhenDue = false;
    // How long one call to the server may go unanswered before the backup is given up.
    std::chrono::milliseconds serviceDeadline = kServiceDeadline;
};

enum class BackupResult { Made, NotDue, Failed, CheckFailed, Cancelled };

struct BackupReport {
    BackupResult result = BackupResult::Failed;
    BackupEntry entry;  // the new backup when Made
    std::string words;  // what went wrong, Firebird's words where it said any
};

enum class BackupStage { Counting, Copying, Checking };

// Runs the whole job on the calling thread with connections of its own. Never throws.
BackupReport MakeVerifiedBackup(const BackupJob& job, const CancelFlag& cancel,
                                const std::function<void(BackupStage)>& stage);
