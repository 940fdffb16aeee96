#include "storage/transaction_policy.h"

#include <cstdint>
#include <utility>
#include <vector>

using namespace Firebird;

TransactionPolicy::TransactionPolicy(IMaster* master, FailureSink failed)
    : master_(master), failed_(std::move(failed)) {}

ITransaction* TransactionPolicy::Reading(IAttachment* attachment, CallStatus& status) {
    if (batch_) {
        return batch_->transaction;
    }
    if (reader_ == nullptr) {
        reader_ = Start(attachment, false, status);
    }
    return reader_;
}

void TransactionPolicy::EndReading(bool report) {
    End(reader_, report);
}

void TransactionPolicy::BeginSnapshot() {
    EndReading();
    snapshot_ = true;
}

ITransaction* TransactionPolicy::Writing(IAttachment* attachment, CallStatus& status) {
    if (batch_) {
        return batch_->transaction;
    }
    EndWrite();
    write_ = Start(attachment, true, status);
    return write_;
}

void TransactionPolicy::CommitWrite(CallStatus& status) {
    if (!batch_ && write_ != nullptr) {
        write_->commit(&status);
        write_ = nullptr;
    }
}

void TransactionPolicy::EndWrite() {
    End(write_);
}

void TransactionPolicy::BeginBatch(IAttachment* attachment, CallStatus& status) {
    batch_.emplace();
    batch_->transaction = Start(attachment, true, status);
}

void TransactionPolicy::Wrote(std::optional<Database::OwnWrite> write) {
    if (!write) {
        batch_->failed = true;
    } else {
        batch_->writes.push_back(std::move(*write));
    }
}

bool TransactionPolicy::CommitBatch(CallStatus& status) {
    if (batch_->failed) {
        return false;
    }
    batch_->transaction->commit(&status);
    batch_->transaction = nullptr;
    return true;
}

std::vector<Database::OwnWrite> TransactionPolicy::EndBatch() {
    End(batch_->transaction);
    std::vector<Database::OwnWrite> written = std::move(batch_->writes);
    batch_.reset();
    return written;
}

void TransactionPolicy::LetGo() {
    for (ITransaction** open : {&write_, &reader_}) {
        if (*open != nullptr) {
            (*open)->release();
            *open = nullptr;
        }
    }
}

void TransactionPolicy::End(ITransaction*& open, bool report) {
    if (open == nullptr) {
        return;
    }
    CallStatus status(master_);
    try {
        open->rollback(&status);
    } catch (const FbException& error) {
        if (report) {
            failed_("rollback", error);
        }
        open->release();
    }
    open = nullptr;
}

ITransaction* TransactionPolicy::Start(IAttachment* attachment, bool writing, CallStatus& status) {
    if (!writing && pendingWritesFail_) {
        static const std::vector<unsigned char> kSettled{
            isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_no_rec_version, isc_tpb_nowait};
        return attachment->startTransaction(&status, static_cast<unsigned>(kSettled.size()), kSettled.data());
    }
    // Writes as the server's defaults have them: a snapshot, read-write, waiting for a lock. Reads see
    // each commit as it happens, unless they are to see one moment. Either waits for a lock no longer
    // than the lock wait.
    std::vector<unsigned char> parameters =
        writing
            ? std::vector<unsigned char>{isc_tpb_version3, isc_tpb_write, isc_tpb_concurrency, isc_tpb_wait}
        : snapshot_
            ? std::vector<unsigned char>{isc_tpb_version3, isc_tpb_read, isc_tpb_concurrency, isc_tpb_wait}
            : std::vector<unsigned char>{isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                         isc_tpb_rec_version, isc_tpb_wait};
    const auto seconds = static_cast<std::uint32_t>(lockWait_.count());
    parameters.insert(parameters.end(),
                      {isc_tpb_lock_timeout, 4, static_cast<unsigned char>(seconds),
                       static_cast<unsigned char>(seconds >> 8), static_cast<unsigned char>(seconds >> 16),
                       static_cast<unsigned char>(seconds >> 24)});
    return attachment->startTransaction(&status, static_cast<unsigned>(parameters.size()), parameters.data());
}
