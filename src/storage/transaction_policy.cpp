#include "storage/transaction_policy.h"

#include <utility>

using namespace Firebird;

TransactionPolicy::TransactionPolicy(IMaster* master, FailureSink failed)
    : master_(master), failed_(std::move(failed)) {}

ITransaction* TransactionPolicy::Reading(IAttachment* attachment, ThrowStatusWrapper& status) {
    if (reader_ == nullptr) {
        static constexpr unsigned char kReadCommitted[] = {isc_tpb_version3, isc_tpb_read,
                                                           isc_tpb_read_committed, isc_tpb_rec_version};
        reader_ = attachment->startTransaction(&status, sizeof kReadCommitted, kReadCommitted);
    }
    return reader_;
}

void TransactionPolicy::EndReading(bool report) {
    End(reader_, report);
}

ITransaction* TransactionPolicy::Writing(IAttachment* attachment, ThrowStatusWrapper& status) {
    if (batch_) {
        return batch_->transaction;
    }
    EndWrite();
    write_ = attachment->startTransaction(&status, 0, nullptr);
    return write_;
}

void TransactionPolicy::CommitWrite(ThrowStatusWrapper& status) {
    if (!batch_ && write_ != nullptr) {
        write_->commit(&status);
        write_ = nullptr;
    }
}

void TransactionPolicy::EndWrite() {
    End(write_);
}

void TransactionPolicy::BeginBatch(IAttachment* attachment, ThrowStatusWrapper& status) {
    batch_.emplace();
    batch_->transaction = attachment->startTransaction(&status, 0, nullptr);
}

void TransactionPolicy::Wrote(std::optional<Database::OwnWrite> write) {
    if (!write) {
        batch_->failed = true;
    } else {
        batch_->writes.push_back(std::move(*write));
    }
}

bool TransactionPolicy::CommitBatch(ThrowStatusWrapper& status) {
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
    ThrowStatusWrapper status(master_->getStatus());
    try {
        open->rollback(&status);
    } catch (const FbException& error) {
        if (report) {
            failed_("rollback", error);
        }
        open->release();
    }
    status.dispose();
    open = nullptr;
}
