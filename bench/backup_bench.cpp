// A backup of 10,000 groups and 200,000 registrations and its check (the backup restored into a
// temporary database and counted), beside the same Services API calls made directly and the gbak
// command line; the whole proven backup on its thread with the longest the event loop was kept
// waiting (counter "stall_ms"); the census of the backup's moment with another desktop's deletion
// during it; the database's validation (its time only).

#include <fcntl.h>
#include <ibase.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "platform/background_work.h"
#include "backup/verified_backup.h"
#include "bench_data.h"
#include "bench_support.h"
#include "direct_client.h"
#include "storage/credentials.h"
#include "storage/database.h"
#include "storage/database_presence.h"
#include "storage/held_census.h"
#include "storage/row_census.h"
#include "storage/schema.h"
#include "storage/services.h"

namespace fs = std::filesystem;

namespace {

const CancelFlag kGoOn{false};

fs::path Scratch() {
    static QTemporaryDir dir;
    return dir.path().toStdString();
}

fs::path BackupFile() {
    return Scratch() / "library.fbk";
}

ConnectionSettings CheckDatabase() {
    ConnectionSettings settings = ConnectionSettings::Defaults();
    settings.serverPrefix.clear();
    settings.dataFolder = Scratch().string() + "/";
    settings.databaseName = "CHECK.FDB";
    return settings;
}

// A backup file of the library for the checks to restore, made once.
void EnsureBackupFile() {
    static const bool made = BackupDatabase(LargeLibrary().Settings(), BackupFile(), kGoOn).done;
    Require(made, "the library could not be backed up");
}

void RemoveCheckDatabase() {
    DropDatabase(CheckDatabase());
    std::error_code error;
    fs::remove(CheckDatabase().dataFolder + CheckDatabase().databaseName, error);
}

// The Services API used straight, through the client library's C calls: attach, start, then
// exchange until the service has nothing more to say.
class DirectService {
public:
    DirectService() {
        const Credentials credentials = FirebirdCredentials();
        // The attach block's values carry a one-byte length.
        std::string spb{isc_spb_version, isc_spb_current_version};
        for (const auto& [tag, value] : {std::pair{isc_spb_user_name, credentials.user},
                                         std::pair{isc_spb_password, credentials.password}}) {
            spb += static_cast<char>(tag);
            spb += static_cast<char>(value.size());
            spb += value;
        }
        isc_service_attach(status_, 0, "service_mgr", &handle_, static_cast<unsigned short>(spb.size()),
                           spb.data());
        Require(status_[1] == 0, "attaching the service manager");
    }
    ~DirectService() { isc_service_detach(status_, &handle_); }

    // A tag of a start block or a query with a 16-bit length and its value.
    static void Add(std::string& block, char tag, const std::string& value) {
        block += tag;
        block += static_cast<char>(value.size() & 0xFF);
        block += static_cast<char>(value.size() >> 8);
        block += value;
    }
    void Start(const std::string& spb) {
        isc_service_start(status_, &handle_, nullptr, static_cast<unsigned short>(spb.size()), spb.data());
        Require(status_[1] == 0, "starting the service");
    }
    // Runs the started service: its output to `out`, its input from `in` (when given).
    void Run(int out, std::ifstream* in) {
        std::vector<char> reply(65000);
        std::optional<std::string> input;
        const std::string items = in != nullptr ? std::string{isc_info_svc_to_eof, isc_info_svc_stdin}
                                                : std::string{isc_info_svc_to_eof};
        for (bool more = true; more;) {
            std::string send{isc_info_svc_timeout, 4, 0, 1, 0, 0, 0};
            if (input) {
                Add(send, isc_info_svc_line, *input);
            }
            send += isc_info_end;
            isc_service_query(status_, &handle_, nullptr, static_cast<unsigned short>(send.size()),
                              send.data(), static_cast<unsigned short>(items.size()), items.data(),
                              static_cast<unsigned short>(reply.size()), reply.data());
            Require(status_[1] == 0, "the service failed");
            input.reset();
            more = false;
            for (const char* p = reply.data(); *p != isc_info_end;) {
                const char tag = *p++;
                if (tag == isc_info_svc_to_eof) {
                    const unsigned length = Unsigned(p, 2);
                    Require(out < 0 || write(out, p + 2, length) == static_cast<ssize_t>(length), "writing");
                    more |= length > 0;
                    p += 2 + length;
                } else if (tag == isc_info_svc_stdin) {
                    const unsigned wanted = Unsigned(p, 4);
                    p += 4;
                    if (wanted > 0) {
                        input = std::string(std::min(wanted, 64000u), '\0');
                        in->read(input->data(), static_cast<std::streamsize>(input->size()));
                        input->resize(static_cast<std::size_t>(in->gcount()));
                        more = true;
                    }
                } else {
                    more = true;  // timeout, not ready, truncated
                }
            }
        }
    }

private:
    // Little-endian, unsigned: isc_vax_integer takes a 16-bit length above 32767 for a negative one.
    static unsigned Unsigned(const char* p, int size) {
        unsigned value = 0;
        for (int i = size - 1; i >= 0; --i) {
            value = value << 8 | static_cast<unsigned char>(p[i]);
        }
        return value;
    }

    ISC_STATUS_ARRAY status_{};
    isc_svc_handle handle_ = 0;
};

std::string HostPath(const ConnectionSettings& settings) {
    return settings.dataFolder + settings.databaseName;
}

void DirectBackup() {
    DirectService service;
    std::string spb{isc_action_svc_backup};
    DirectService::Add(spb, isc_spb_dbname, HostPath(LargeLibrary().Settings()));
    DirectService::Add(spb, isc_spb_bkp_file, "stdout");
    service.Start(spb);
    const fs::path file = Scratch() / "floor.fbk";
    const int out = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    service.Run(out, nullptr);
    Require(fsync(out) == 0 && close(out) == 0, "writing the backup");
}

void DirectRestore() {
    DirectService service;
    std::string spb{isc_action_svc_restore};
    DirectService::Add(spb, isc_spb_bkp_file, "stdin");
    DirectService::Add(spb, isc_spb_dbname, HostPath(CheckDatabase()));
    spb += isc_spb_options;
    const int options = isc_spb_res_create;
    spb.append(reinterpret_cast<const char*>(&options), 4);
    service.Start(spb);
    std::ifstream in(BackupFile(), std::ios::binary);
    service.Run(-1, &in);
}

// The census statements of the program, a hundred tables each, sent straight.
long long DirectCensus(const std::string& path) {
    DirectDatabase database(path, DirectDatabase::Open::Attach);
    std::vector<std::string> tables;
    database.Query(
        "SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$VIEW_BLR IS NULL AND RDB$SYSTEM_FLAG = 0",
        [&](const DirectDatabase::Row& row) {
            std::string name(row.Text(0));
            tables.push_back(name.substr(0, name.find_last_not_of(' ') + 1));
        });
    long long rows = 0;
    for (const std::string& source : CensusSources(tables)) {
        database.Query("SELECT * FROM " + source,
                       [&](const DirectDatabase::Row& row) { rows += row.Int(1); });
    }
    return rows;
}

const long long kAllRows = LargeLibraryGroups() + LargeLibraryGroups() * kLargeLibraryFilesPerGroup;

void RunGbak(const QStringList& arguments) {
    Require(QProcess::execute(QStringLiteral("gbak"), arguments) == 0, "gbak failed");
}

QString Local(const fs::path& path) {
    return QString::fromStdString(path.string());
}

void Backup(benchmark::State& state) {
    LargeLibrary();
    TimeEach(state, {},
             [] { Require(BackupDatabase(LargeLibrary().Settings(), BackupFile(), kGoOn).done, "backup"); });
}

void BackupFloor(benchmark::State& state) {
    LargeLibrary();
    TimeEach(state, {}, [] { DirectBackup(); });
}

// gbak in a process of its own, on the embedded database file: no password needed.
void BackupGbak(benchmark::State& state) {
    LargeLibrary();
    TimeEach(state, {}, [] {
        RunGbak({"-b", "-user", "SYSDBA", Local(HostPath(LargeLibrary().Settings())),
                 Local(Scratch() / "gbak.fbk")});
    });
}

void BackupCheck(benchmark::State& state) {
    EnsureBackupFile();
    TimeEach(state, RemoveCheckDatabase, [] {
        Require(RestoreDatabase(BackupFile(), CheckDatabase(), kGoOn).done, "restore");
        const ConnectionSettings check = CheckDatabase();
        Database restored(check);
        restored.ConnectDatabase();
        const std::optional<RowCensus> census = CountGroupRows(restored);
        Require(census && census->Groups() + census->Registrations() == kAllRows, "the check's count");
    });
    RemoveCheckDatabase();
}

void BackupCheckFloor(benchmark::State& state) {
    EnsureBackupFile();
    TimeEach(state, RemoveCheckDatabase, [] {
        DirectRestore();
        Require(DirectCensus(CheckDatabase().DatabasePath()) == kAllRows, "the floor's count");
    });
    RemoveCheckDatabase();
}

// The program counts the live database at its backup's moment (the job runs whether due or not):
// once, straight.
void CensusFloor(benchmark::State& state) {
    LargeLibrary();
    TimeEach(state, {},
             [] { Require(DirectCensus(LargeLibrary().DatabasePath()) == kAllRows, "the count"); });
}

// A group past the library's, with its file table, for another desktop to delete.
int SpareGroup() {
    return LargeLibraryGroups() + 1;
}

void AddSpareGroup() {
    DirectDatabase database(LargeLibrary().SetupPath(), DirectDatabase::Open::Attach);
    database.Execute("INSERT INTO GRPQRT (N, GRPNAME) VALUES (" + std::to_string(SpareGroup()) +
                     ", 'spare')");
    database.Execute("CREATE TABLE " + FileTableName(SpareGroup()) +
                     " (N INTEGER NOT NULL UNIQUE, FILE_NAME VARCHAR(255), PATH_NAME VARCHAR(255))");
}

// The census of the backup's moment as the job takes it: the group tables reserved until its
// snapshot has begun, then counted from the snapshot. Meanwhile another desktop deletes a group (its
// row and its file table in one transaction, waiting for locks as long as it takes) as soon as the
// reservation is let go: how long that took (counter "deletion_wait_ms").
void Census(benchmark::State& state) {
    LargeLibrary();
    double waited = 0;
    TimeEach(state, AddSpareGroup, [&] {
        std::optional<HeldCensus> held(std::in_place, LargeLibrary().Settings(), true, kGoOn,
                                       kServiceDeadline);
        Require(held->Begun(), "the census's snapshot");
        held->Release();
        std::thread deleting([&] {
            const auto started = std::chrono::steady_clock::now();
            DirectDatabase(LargeLibrary().SetupPath(), DirectDatabase::Open::Attach)
                .ExecuteAll({"DELETE FROM GRPQRT WHERE N=" + std::to_string(SpareGroup()),
                             "DROP TABLE " + FileTableName(SpareGroup())});
            waited = std::max(
                waited, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                            .count());
        });
        std::string words;
        const std::optional<RowCensus> census = held->Read(words);
        held.reset();
        deleting.join();
        Require(census && census->Registrations() == kAllRows - LargeLibraryGroups(),
                ("the census: " + words).c_str());
    });
    state.counters["deletion_wait_ms"] = waited;
}

void BackupCheckGbak(benchmark::State& state) {
    EnsureBackupFile();
    TimeEach(state, RemoveCheckDatabase, [] {
        RunGbak({"-c", "-user", "SYSDBA", Local(BackupFile()), Local(HostPath(CheckDatabase()))});
    });
    RemoveCheckDatabase();
}

// The whole proven backup as the program makes it: on a thread of its own while the event loop
// turns; the longest wait between two turns is kept.
void VerifiedBackupRun(benchmark::State& state) {
    LargeLibrary();
    double stall = 0;
    std::int64_t time = std::time(nullptr);
    TimeEach(state, {}, [&] {
        BackgroundWork work;
        BackupReport report;
        const BackupJob job{LargeLibrary().Settings(), Scratch() / "kept", Scratch(), ++time, false};
        work.Start([&](const CancelFlag& cancel) -> BackgroundWork::Done {
            report = MakeVerifiedBackup(job, cancel, [](BackupStage) {});
            return {};
        });
        stall = std::max(stall, LongestStall([&] { WaitWhile([&] { return work.Busy(); }); }));
        Require(report.result == BackupResult::Made, "the proven backup");
    });
    state.counters["stall_ms"] = stall;
}

void Validate(benchmark::State& state) {
    LargeLibrary();
    TimeEach(state, {}, [] {
        Require(ValidateDatabase(LargeLibrary().Settings(), kGoOn).soundness == Soundness::Sound,
                "validation");
    });
}

const auto registered = {
    Register("Backup", Backup)->Arg(LargeLibraryGroups()),
    Register("BackupFloor", BackupFloor)->Arg(LargeLibraryGroups()),
    Register("BackupGbak", BackupGbak)->Arg(LargeLibraryGroups()),
    Register("BackupCheck", BackupCheck)->Arg(LargeLibraryGroups()),
    Register("BackupCheckFloor", BackupCheckFloor)->Arg(LargeLibraryGroups()),
    Register("BackupCheckGbak", BackupCheckGbak)->Arg(LargeLibraryGroups()),
    Register("VerifiedBackup", VerifiedBackupRun)->Arg(LargeLibraryGroups()),
    Register("Census", Census)->Arg(LargeLibraryGroups()),
    Register("CensusFloor", CensusFloor)->Arg(LargeLibraryGroups()),
    Register("Validate", Validate)->Arg(LargeLibraryGroups()),
};

}  // namespace
