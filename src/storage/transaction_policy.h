#pragma once

#include <firebird/Interface.h>

#include <functional>
#include <optional>
#include <vector>

#include "storage/database.h"

// Which transaction each statement of a connection runs in. A write has a transaction of its own,
// committed at once, unless it belongs to a batch, whose writes share one that stands or falls as a
// whole. Reads run in one read-only, read-committed transaction, which sees each commit as it
// happens; whoever uses it says when it ends. Firebird's own types: only for the storage layer's
// sources.
class TransactionPolicy {
public:
    using FailureSink = std::function<void(const char* operation, const Firebird::FbException& error)>;
    TransactionPolicy(Firebird::IMaster* master, FailureSink failed);

    // The read transaction, started when there is none.
    Firebird::ITransaction* Reading(Firebird::IAttachment* attachment, Firebird::ThrowStatusWrapper& status);
    // Rolls the read transaction back; `report` says whether a failure is worth telling.
    void EndReading(bool report = true);

    // A write's transaction: the batch's while one is under way, otherwise one of its own.
    Firebird::ITransaction* Writing(Firebird::IAttachment* attachment, Firebird::ThrowStatusWrapper& status);
    // Commits a write's own transaction; within a batch nothing is committed yet.
    void CommitWrite(Firebird::ThrowStatusWrapper& status);
    // Rolls back a write's own transaction that a failure left open.
    void EndWrite();

    bool InBatch() const { return batch_.has_value(); }
    // A write of the batch under way failed: the batch can only be rolled back.
    bool BatchFailed() const { return batch_ && batch_->failed; }
    void BeginBatch(Firebird::IAttachment* attachment, Firebird::ThrowStatusWrapper& status);
    // A write of the batch ran: with its report when it succeeded, without when it failed.
    void Wrote(std::optional<Database::OwnWrite> write);
    // Commits the batch unless one of its writes failed; true when committed.
    bool CommitBatch(Firebird::ThrowStatusWrapper& status);
    // Ends the batch, rolled back unless committed; answers the reports of its writes.
    std::vector<Database::OwnWrite> EndBatch();

    // The connection is gone: every transaction is let go without a call to the server.
    void LetGo();

private:
    void End(Firebird::ITransaction*& open, bool report = true);

    struct Batch {
        Firebird::ITransaction* transaction = nullptr;
        bool failed = false;
        std::vector<Database::OwnWrite> writes;
    };

    Firebird::IMaster* master_;
    FailureSink failed_;
    Firebird::ITransaction* write_ = nullptr;   // a write's own, between its start and its commit
    Firebird::ITransaction* reader_ = nullptr;  // the read transaction
    std::optional<Batch> batch_;
};
