#include "backup/verified_backup.h"

#include <algorithm>
#include <optional>

#include "backup/backup_place.h"
#include "backup/check_copy.h"
#include "backup/retention.h"
#include "storage/held_census.h"
#include "storage/row_census.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kDay = 24 * 3600;

// The census of a database as it stands, on a connection of its own; Firebird's words when it
// cannot be read.
std::optional<RowCensus> Census(const ConnectionSettings& settings, const CancelFlag& cancel,
                                std::chrono::milliseconds deadline, std::string& words) {
    return HeldCensus(settings, false, cancel, deadline).Read(words);
}

BackupReport Refused(BackupResult result, std::string words) {
    return BackupReport{result, {}, std::move(words)};
}

// Lets go of the backups the retention rule no longer keeps. Those dated ahead are left out of it, or
// a week of them would push out every backup made since the clock was put right; the one just made
// is never let go, whatever the clock.
void Prune(const fs::path& folder, const fs::path& made, std::int64_t now) {
    std::vector<BackupEntry> ranked;
    for (BackupEntry& entry : ListBackups(folder)) {
        if (!DatedAhead(entry, now)) {
            ranked.push_back(std::move(entry));
        }
    }
    std::vector<std::int64_t> times;
    for (const BackupEntry& entry : ranked) {
        times.push_back(entry.time);
    }
    for (const std::size_t index : BackupsToDelete(times)) {
        std::error_code error;
        if (ranked[index].file != made) {
            fs::remove(ranked[index].file, error);
        }
    }
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
    const auto failed = [&](const std::string& why) {
        return Refused(cancel ? BackupResult::Cancelled : BackupResult::Failed, why);
    };
    if (job.onlyWhenDue && newest != nullptr) {
        const std::optional<RowCensus> now = Census(job.database, cancel, job.serviceDeadline, words);
        if (!now) {
            return failed(words);
        }
        if (newest->fingerprint == now->Fingerprint()) {
            return Refused(BackupResult::NotDue, {});
        }
    }
    // What the backup holds is counted at the moment its own snapshot is taken: until then, other
    // desktops' writes wait. It is counted as soon as the backup has begun, while the backup streams:
    // the census holds its tables against being dropped only the seconds that takes, and its snapshot
    // is let go before the copy is checked.
    std::optional<HeldCensus> moment(std::in_place, job.database, CensusHoldsWriters(job.database), cancel,
                                     job.serviceDeadline);
    if (!moment->Begun()) {
        return failed(moment->Words());
    }
    std::optional<RowCensus> counted;
    const auto count = [&] {
        if (moment) {
            moment->Release();
            counted = moment->Read(words);
            moment.reset();
        }
    };
    stage(BackupStage::Copying);
    const fs::path unchecked = job.folder / UncheckedFileName(job.now);
    const ServiceOutcome copied = BackupDatabase(job.database, unchecked, cancel, job.serviceDeadline, count);
    if (!copied.done) {
        return failed(copied.error);
    }
    count();  // a backup that brought no byte
    stage(BackupStage::Checking);
    const std::optional<RowCensus> restored =
        CheckCopy({job.checkFolder, job.folder}).Restore(unchecked, cancel, job.serviceDeadline, words);
    // Where the moment could not be held (a long write elsewhere) the copy may hold the database as
    // it stands now instead.
    const auto holds = [&](const std::optional<RowCensus>& census) { return census && *restored == *census; };
    const bool proven =
        restored && (holds(counted) || holds(Census(job.database, cancel, job.serviceDeadline, words)));
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
    Prune(job.folder, entry.file, job.now);
    return BackupReport{BackupResult::Made, entry, {}};
}
