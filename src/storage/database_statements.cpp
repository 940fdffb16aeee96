#include <algorithm>

#include "common/trimmed.h"
#include "storage/database_impl.h"
#include "storage/statement_text.h"

using namespace Firebird;

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
               return up(x) == up(y);
           });
}

}  // namespace

std::optional<FetchedRows> Database::Impl::ReadNow(const char* operation, const std::string& text,
                                                   Keep keep) {
    if (attachment == nullptr) {
        return std::nullopt;
    }
    CloseStatement();
    return ReadIn(operation, text, keep);
}

std::optional<FetchedRows> Database::Impl::ReadIn(const char* operation, const std::string& text, Keep keep) {
    CallStatus status(master);
    std::optional<FetchedRows> fetched;
    try {
        ITransaction* const transaction = transactions.Reading(attachment, status);
        Trace(text);
        fetched = FetchRows(attachment, transaction, text, keep, status);
    } catch (const FbException& error) {
        Report(operation, error);
    }
    // A failed read takes its transaction with it, so that the next begins afresh; a connection found
    // gone is dropped as a whole, its transactions with it. Without a server's round trips to spare,
    // every read ends its transaction at once. A batch's or a snapshot's is ended by whoever began it.
    if ((!fetched || !remote) && !gone && !transactions.ReadsShared()) {
        transactions.EndReading();
    }
    return fetched;
}

long long Database::Impl::WriteNow(const WriteStatement& write) {
    Trace(write.text);
    CallStatus status(master);
    const bool detailed = writeObserver && detailFor && !write.table.empty() && detailFor(write.table);
    const bool counted = write.counted || (detailed && write.effect == RowEffect::Removes);
    long long changed = -1;
    OwnWrite own{std::string(write.table), 0, 0, false};
    try {
        CloseStatement();
        if (attachment == nullptr) {
            throw std::runtime_error("not attached");
        }
        // A table the read transaction has used cannot be dropped or altered meanwhile.
        if (write.effect == RowEffect::Unknown) {
            transactions.EndReading();
        }
        if (transactions.BatchFailed()) {
            throw std::runtime_error("an earlier statement of the batch failed");
        }
        if (transactions.InSnapshot()) {
            throw std::runtime_error("a write among reads of one moment");
        }
        ITransaction* const transaction = transactions.Writing(attachment, status);
        changed = RunStatement(attachment, transaction, write.text, counted, status);
        if (detailed) {
            own = DetailedOwnWrite(write, changed, transaction, status);
        }
        transactions.CommitWrite(status);
    } catch (const FbException& error) {
        Report(write.operation, error);
        changed = -1;
    } catch (const std::exception& error) {
        Report(write.operation, error.what());
        changed = -1;
    }
    if (transactions.InBatch()) {
        transactions.Wrote(changed >= 0 ? std::optional(std::move(own)) : std::nullopt);
        return changed;
    }
    transactions.EndWrite();
    if (changed >= 0 && writeObserver) {
        writeObserver(own);
    }
    return changed;
}

bool Database::WriteTogetherNow(const std::function<bool()>& writes) {
    Impl& impl = *impl_;
    if (impl.attachment == nullptr || impl.transactions.ReadsShared()) {
        return false;
    }
    impl.CloseStatement();
    CallStatus status(impl.master);
    bool committed = false;
    try {
        impl.transactions.BeginBatch(impl.attachment, status);
        committed = writes() && impl.transactions.CommitBatch(status);
    } catch (const FbException& error) {
        impl.Report("WriteTogether", error);
    }
    const std::vector<OwnWrite> written = impl.transactions.EndBatch();
    if (committed && impl.writeObserver) {
        for (const OwnWrite& write : written) {
            impl.writeObserver(write);
        }
    }
    return committed;
}

void Database::ReadTogetherNow(const std::function<void()>& reads) {
    Impl& impl = *impl_;
    // Within a batch, or within reads of one moment already, the reads see one moment as they are.
    if (impl.attachment == nullptr || impl.transactions.ReadsShared()) {
        reads();
        return;
    }
    impl.CloseStatement();
    impl.transactions.BeginSnapshot();
    reads();
    // A connection found gone lets its transactions go as a whole.
    if (!impl.gone) {
        impl.transactions.EndReading();
    }
    impl.transactions.EndSnapshot();
}

bool Database::TableExistsNow(std::string_view name) {
    if (impl_->attachment == nullptr) {
        return false;
    }
    // The open result and a write batch under way are left as they are.
    const std::optional<FetchedRows> tables = impl_->ReadIn("TableExists", TableNamesText(), Keep::Rows);
    if (!tables) {
        return false;
    }
    for (std::size_t row = 0; row < tables->KeptRows(); ++row) {
        const std::string_view stored = tables->Text(row, 0);
        if (EqualIgnoringCase(TrimmedRight(stored), name)) {
            return true;
        }
    }
    return false;
}
