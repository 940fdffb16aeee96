#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "common/connection_settings.h"
#include "storage/row_census.h"
#include "storage/services.h"

class BoundedCalls;
struct CensusConnection;

// The census of a database at the moment a backup begins, for the backup's check to compare its
// restored copy with. Firebird 3 cannot share a snapshot between connections, so while a backup is
// about to begin, the group tables are reserved for protected reading (other connections' writes to
// them wait, a short while) and a snapshot of them is begun; once the backup's own snapshot has
// begun, the reservation is let go, and the census is read from the snapshot at leisure. Where the
// tables cannot be reserved in time (another desktop in the middle of a long write to one), the
// snapshot is begun without: its census is then of a moment just before the backup's. The census's
// statements are prepared as the snapshot begins and kept until Read has counted them, so that no
// table is dropped before it is counted: another desktop deleting a group meanwhile waits for that.
//
// On a connection of its own, each of its calls given up when the server does not answer within
// `deadline` or when `cancel` is set. Never throws.
// Whether a backup's census of `database` holds writers back: only where another process may write
// it, through a server or where the embedded engine shares its file (a mode other than Super). In
// Super the file is this process's alone, and its own windows must not wait for the census.
bool CensusHoldsWriters(const ConnectionSettings& database);

class HeldCensus {
public:
    // Attaches and begins the snapshot, holding writers back first when `holdWriters`.
    HeldCensus(const ConnectionSettings& database, bool holdWriters, const CancelFlag& cancel,
               std::chrono::milliseconds deadline);
    ~HeldCensus();
    HeldCensus(const HeldCensus&) = delete;
    HeldCensus& operator=(const HeldCensus&) = delete;

    // The snapshot has begun; Firebird's words (UTF-8) for why not otherwise.
    bool Begun() const { return begun_; }
    const std::string& Words() const { return words_; }
    // Other connections' writes to the group tables wait until Release.
    bool Holding() const { return holding_; }
    // Lets the writers go on; the snapshot stays.
    void Release();
    // The census of the snapshot, which is let go then; nothing, with Firebird's words in `words`,
    // when it cannot be read. Once.
    std::optional<RowCensus> Read(std::string& words);

private:
    // What `step` answers on the connection's thread; nothing, with the reason in `words_`, when it
    // failed or was given up.
    template <typename Answer, typename Step>
    std::optional<Answer> Ask(Step step);
    bool Hold();

    const CancelFlag& cancel_;
    const std::chrono::milliseconds deadline_;
    std::shared_ptr<CensusConnection> connection_;
    std::unique_ptr<BoundedCalls> calls_;
    std::string words_;
    bool holding_ = false;
    bool begun_ = false;
};
