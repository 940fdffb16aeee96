#pragma once

#include "backup/backup_catalog.h"
#include "common/connection_settings.h"
#include "storage/services.h"

// The new database a restore creates beside `source` (same server, same folder), named after it and
// the backup's time: QRTDB.FDB and a backup of 2026-12-07 17:22:10 UTC give
// QRTDB_20261207-172210.FDB, then QRTDB_20261207-172210_2.FDB for `attempt` 2, and so on.
ConnectionSettings RestoreTargetBeside(const ConnectionSettings& source, const BackupEntry& entry,
                                       int attempt);

// Restores `entry` into the first of those names where no database exists yet, and keeps it only when
// it holds what the backup's name records. Answers the outcome and, when done, the new database in
// `target`.
ServiceOutcome RestoreBeside(const ConnectionSettings& source, const BackupEntry& entry,
                             const CancelFlag& cancel, ConnectionSettings& target);
