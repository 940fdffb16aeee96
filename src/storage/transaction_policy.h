#pragma once

#include <firebird/Interface.h>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "storage/call_status.h"
#include "storage/database.h"

// Which transaction each statement of a connection runs in. A write has a transaction of its own,
// committed at once, unless it belongs to a batch, whose writes share one that stands or falls as a
// whole; reads during a batch read in it. Otherwise reads run in one read-only, read-committed
// transaction, which sees each commit as it happens, or, while reads are to see one moment, in a
// read-only snapshot; whoever uses it says when it ends. A transaction that finds a row or a table
// locked by another connection waits for it a bounded time, then fails as on any other conflict.
// Firebird's own types: only for the storage layer's sources.
class TransactionPolicy {
public:
    using FailureSink = std::function<void(const char* operation, const Firebird::FbException& error)>;
    TransactionPolicy(Firebird::IMaster* master, FailureSink failed);

    // How long a transaction started from now on waits for another connection's lock.
    void SetLockWait(std::chrono::seconds wait) { lockWait_ = wait; }
    // Whether a read transaction started from now on fails at once on a row another transaction has
    // written and not committed, instead of reading the row as last committed.
    void SetPendingWritesFail(bool fail) { pendingWritesFail_ = fail; }

    // The read transaction, started when there is none; the batch's while one is under way.
    Firebird::ITransaction* Reading(Firebird::IAttachment* attachment, CallStatus& status);
    // Rolls the read transaction back; `report` says whether a failure is worth telling.
    void EndReading(bool report = true);
    // From BeginSnapshot to EndSnapshot the read transaction is a snapshot, begun by the next read.
    void BeginSnapshot();
    void EndSnapshot() { snapshot_ = false; }
    bool InSnapshot() const { return snapshot_; }
    // The reads share a transaction that no single read may end: a batch's or a snapshot.
    bool ReadsShared() const { return snapshot_ || batch_.has_value(); }

    // A write's transaction: the batch's while one is under way, otherwise one of its own.
    Firebird::ITransaction* Writing(Firebird::IAttachment* attachment, CallStatus& status);
    // Commits a write's own transaction; within a batch nothing is committed yet.
    void CommitWrite(CallStatus& status);
    // Rolls back a write's own transaction that a failure left open.
    void EndWrite();

    bool InBatch() const { return batch_.has_value(); }
    // A write of the batch under way failed: the batch can only be rolled back.
    bool BatchFailed() const { return batch_ && batch_->failed; }
    void BeginBatch(Firebird::IAttachment* attachment, CallStatus& status);
    // A write of the batch ran: with its report when it succeeded, without when it failed.
    void Wrote(std::optional<Database::OwnWrite> write);
    // Commits the batch unless one of its writes failed; true when committed.
    bool CommitBatch(CallStatus& status);
    // Ends the batch, rolled back unless committed; answers the reports of its writes.
    std::vector<Database::OwnWrite> EndBatch();

    // The connection is gone: every transaction is let go without a call to the server.
    void LetGo();

private:
    void End(Firebird::ITransaction*& open, bool report = true);
    Firebird::ITransaction* Start(Firebird::IAttachment* attachment, bool writing, CallStatus& status);

    struct Batch {
        Firebird::ITransaction* transaction = nullptr;
        bool failed = false;
        std::vector<Database::OwnWrite> writes;
    };

    Firebird::IMaster* master_;
    FailureSink failed_;
    std::chrono::seconds lockWait_{0};
    bool pendingWritesFail_ = false;
    Firebird::ITransaction* write_ = nullptr;   // a write's own, between its start and its commit
    Firebird::ITransaction* reader_ = nullptr;  // the read transaction
    bool snapshot_ = false;                     // reads see one moment
    std::optional<Batch> batch_;
};
