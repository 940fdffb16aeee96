#include "backup/restore_target.h"

#include "storage/database.h"
#include "storage/database_presence.h"
#include "storage/row_census.h"

namespace {

constexpr int kAttempts = 100;
constexpr std::size_t kStampLength = 15;  // "20261207-172210"

// Restores `entry` and makes sure the new database holds what the backup's name records, so that
// a file put there by hand (another database's backup, another program's) changes nothing.
ServiceOutcome RestoreChecked(const BackupEntry& entry, const ConnectionSettings& target,
                              const CancelFlag& cancel) {
    ServiceOutcome outcome = RestoreDatabase(entry.file, target, cancel);
    if (!outcome.done) {
        return outcome;
    }
    std::optional<RowCensus> census;
    {
        Database restored(target);
        restored.ConnectDatabase();
        census = CountGroupRows(restored);
    }
    if (!census || census->Fingerprint() != entry.fingerprint) {
        DropDatabase(target);
        return ServiceOutcome{false, "復元した内容がバックアップの記録と一致しません。"};
    }
    return outcome;
}

}  // namespace

ConnectionSettings RestoreTargetBeside(const ConnectionSettings& source, const BackupEntry& entry,
                                       int attempt) {
    const std::string& name = source.databaseName;
    const std::size_t dot = name.rfind('.');
    const std::string stem = name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? ".FDB" : name.substr(dot);
    ConnectionSettings target = source;
    target.databaseName = stem + "_" + BackupFileName(entry).substr(0, kStampLength) +
                          (attempt > 1 ? "_" + std::to_string(attempt) : "") + extension;
    return target;
}

ServiceOutcome RestoreBeside(const ConnectionSettings& source, const BackupEntry& entry,
                             const CancelFlag& cancel, ConnectionSettings& target) {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        target = RestoreTargetBeside(source, entry, attempt);
        const DatabaseProbe probe = ProbeDatabase(target);
        if (probe.state == DatabaseState::Missing) {
            return RestoreChecked(entry, target, cancel);
        }
        if (probe.state == DatabaseState::Unreachable) {
            return ServiceOutcome{false, probe.words};
        }
    }
    return ServiceOutcome{false, "no free database name beside " + source.databaseName};
}
