#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "common/connection_settings.h"
#include "storage/validation_report.h"

// Firebird's own services for a database: its logical backup, its restore and its validation, asked
// of the host that holds the database (the embedded engine for a path without a server prefix, the
// server the prefix names otherwise), with the program's credentials. Each call makes a service
// connection of its own (attached with the program's connect time-out), so it may run on any
// thread. None throws; each answers what came of it.

// Done, or Firebird's words (UTF-8) for why not.
struct ServiceOutcome {
    ServiceOutcome(bool done = false, std::string error = {}) : done(done), error(std::move(error)) {}

    bool done;
    std::string error;
    // A database a failed restore began and that could not be removed: its path on its host, UTF-8.
    std::string leftBehind;
};

// Set from another thread to end a run at once: a call it waits for is left to finish alone.
using CancelFlag = std::atomic<bool>;

// How long one call to a service may go without an answer (a server that stopped answering, a link
// that went dead) before the run is given up, as a statement on the program's connection is.
inline constexpr std::chrono::milliseconds kServiceDeadline{20000};

// Streams a backup of the database `database` names to this process into `file`, so that a server's
// disks need not be reachable. The file appears only complete and on the disk, readable by its user
// alone; a run that fails or is cancelled leaves none. `begun` is told once the backup's snapshot of
// the database has been taken.
ServiceOutcome BackupDatabase(const ConnectionSettings& database, const std::filesystem::path& file,
                              const CancelFlag& cancel, std::chrono::milliseconds deadline = kServiceDeadline,
                              const std::function<void()>& begun = {});

// Restores the backup `file` into a new database at `target`, on the host `target` names. Never
// replaces a database: an existing one is refused. A failed or cancelled restore leaves none behind,
// or names it (see ServiceOutcome). A cancel is waited out until the service has ended, as long as
// it answers.
ServiceOutcome RestoreDatabase(const std::filesystem::path& file, const ConnectionSettings& target,
                               const CancelFlag& cancel,
                               std::chrono::milliseconds deadline = kServiceDeadline);

// Firebird's validation of the database's pages and records, while it stays in use. Unknown when
// the validation could not run to its end (no server, cancelled) or could not lock a table that
// another connection was writing (see JudgeValidation).
ValidationReport ValidateDatabase(const ConnectionSettings& database, const CancelFlag& cancel,
                                  std::chrono::milliseconds deadline = kServiceDeadline);
