#include "backup/verified_backup.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "backup/backup_place.h"
#include "backup/retention.h"
#include "storage/database.h"
#include "storage/database_presence.h"
#include "storage/row_census.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kDay = 24 * 3600;

// The census of a database read on a connection of its own; Firebird's words when it cannot be.
std::optional<RowCensus> Census(const ConnectionSettings& settings, std::chrono::milliseconds deadline,
                                std::string& words) {
    Database database(settings);
    database.SetStatementDeadline(deadline);
    database.ConnectDatabase();
    std::optional<RowCensus> census = database.Attached() ? CountGroupRows(database) : std::nullopt;
    if (!census) {
        words = database.LastError();
    }
    return census;
}

// A temporary embedded database restored from `file`, gone with the object.
class CheckCopy {
public:
    explicit CheckCopy(const fs::path& folder) {
        std::string pattern = (folder / (std::string(kCheckFolderStem) + "XXXXXX")).string();
        if (mkdtemp(pattern.data()) != nullptr) {
            folder_ = pattern;
            settings_.serverPrefix.clear();
            settings_.dataFolder = pattern + "/";
            settings_.databaseName = "CHECK.FDB";
        }
    }
    ~CheckCopy() {
        if (restored_) {
            DropDatabase(settings_);
        }
        std::error_code error;
        fs::remove_all(folder_, error);
    }
    CheckCopy(const CheckCopy&) = delete;
    CheckCopy& operator=(const CheckCopy&) = delete;

    // The restored copy's census; nothing, with the reason in `words`, when it cannot be made.
    std::optional<RowCensus> Restore(const fs::path& file, const CancelFlag& cancel, std::string& words) {
        if (folder_.empty()) {
            words = "cannot create a folder in " + file.parent_path().string();
            return std::nullopt;
        }
        const ServiceOutcome outcome = RestoreDatabase(file, settings_, cancel);
        if (!outcome.done) {
            words = outcome.error;
            return std::nullopt;
        }
        restored_ = true;
        return Census(settings_, kServiceDeadline, words);
    }

private:
    fs::path folder_;
    ConnectionSettings settings_ = ConnectionSettings::Defaults();
    bool restored_ = false;
};

BackupReport Refused(BackupResult result, std::string words) {
    return BackupReport{result, {}, std::move(words)};
}

// Lets go of the backups the retention rule no longer keeps, never the one just made: under a clock
// set back, older backups carry later times than it.
void Prune(const fs::path& folder, const fs::path& made) {
    const std::vector<BackupEntry> kept = ListBackups(folder);
    std::vector<std::int64_t> times;
    for (const BackupEntry& entry : kept) {
        times.push_back(entry.time);
    }
    for (const std::size_t index : BackupsToDelete(times)) {
        std::error_code error;
        if (kept[index].file != made) {
            fs::remove(kept[index].file, error);
        }
    }
}

// The newest backup that tells when the last one was made: one dated more than a day ahead of now
// was made under a wrong clock and would hold up every automatic backup until its date.
const BackupEntry* NewestBackup(const std::vector<BackupEntry>& kept, std::int64_t now) {
    const auto newest = std::find_if(kept.begin(), kept.end(),
                                     [now](const BackupEntry& entry) { return entry.time <= now + kDay; });
    return newest == kept.end() ? nullptr : &*newest;
}

}  // namespace

BackupReport MakeVerifiedBackup(const BackupJob& job, const CancelFlag& cancel,
                                const std::function<void(BackupStage)>& stage) {
    std::error_code error;
    MakeBackupsFolder(job.folder);
    const std::vector<BackupEntry> kept = ListBackups(job.folder);
    const BackupEntry* const newest = NewestBackup(kept, job.now);
    if (job.onlyWhenDue && newest != nullptr && job.now - newest->time <= kDay) {
        return Refused(BackupResult::NotDue, {});
    }
    stage(BackupStage::Counting);
    std::string words;
    const std::optional<RowCensus> before = Census(job.database, job.serviceDeadline, words);
    if (!before) {
        return Refused(BackupResult::Failed, words);
    }
    if (job.onlyWhenDue && newest != nullptr && newest->fingerprint == before->Fingerprint()) {
        return Refused(BackupResult::NotDue, {});
    }
    if (cancel) {
        return Refused(BackupResult::Cancelled, {});
    }
    stage(BackupStage::Copying);
    const fs::path unchecked = job.folder / UncheckedFileName(job.now);
    const ServiceOutcome copied = BackupDatabase(job.database, unchecked, cancel, job.serviceDeadline);
    if (!copied.done) {
        return Refused(cancel ? BackupResult::Cancelled : BackupResult::Failed, copied.error);
    }
    // The backup's snapshot lies between the counts before and after it: when the database changed
    // meanwhile, the copy must hold one of the two.
    const std::optional<RowCensus> after = Census(job.database, job.serviceDeadline, words);
    stage(BackupStage::Checking);
    std::optional<RowCensus> restored = CheckCopy(job.checkFolder).Restore(unchecked, cancel, words);
    const bool proven = restored && (*restored == *before || (after && *restored == *after));
    if (!proven) {
        fs::remove(unchecked, error);
        if (cancel) {
            return Refused(BackupResult::Cancelled, {});
        }
        return Refused(BackupResult::CheckFailed,
                       restored ? "the restored copy does not hold what the database held" : words);
    }
    BackupEntry entry{{}, job.now, restored->Groups(), restored->Registrations(), restored->Fingerprint()};
    entry.file = job.folder / BackupFileName(entry);
    fs::rename(unchecked, entry.file, error);
    if (error) {
        fs::remove(unchecked, error);
        return Refused(BackupResult::Failed, "cannot rename " + unchecked.string());
    }
    Prune(job.folder, entry.file);
    return BackupReport{BackupResult::Made, entry, {}};
}
