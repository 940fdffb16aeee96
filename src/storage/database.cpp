#include "storage/database.h"

#include <firebird/Interface.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>

#include "common/codepage.h"
#include "storage/connection_thread.h"
#include "storage/credentials.h"
#include "storage/firebird_attach.h"
#include "storage/reattacher.h"
#include "storage/statement_deadline.h"
#include "storage/statement_text.h"

using namespace Firebird;

namespace {

constexpr unsigned kDialect = 3;
// Longest text of a non-text column (numbers, dates) once the server has converted it.
constexpr unsigned kConvertedLength = 64;
// How long a server's connection waits for the next read of a command before ending the read
// transaction: longer than a command takes between its statements.
constexpr std::chrono::milliseconds kReaderIdle{100};

// A fetched result: its column names, its number of rows and, where kept, the texts of its rows
// one after another in a single buffer. A NULL is kept as an empty text, which is how it reads.
struct Result {
    std::vector<std::string> names;
    std::size_t count = 0;
    std::string texts;
    std::vector<std::pair<std::size_t, std::size_t>> cells;  // offset and length, row by row
    std::size_t cursor = 0;

    std::size_t KeptRows() const { return names.empty() ? 0 : cells.size() / names.size(); }
    std::string_view Text(std::size_t row, std::size_t column) const {
        const auto [offset, length] = cells[row * names.size() + column];
        return std::string_view(texts).substr(offset, length);
    }
    // Keeps one fetched row of VARCHAR columns.
    void KeepRow(const std::vector<unsigned char>& buffer,
                 const std::vector<std::pair<unsigned, unsigned>>& offsets) {
        for (const auto& [offset, nullOffset] : offsets) {
            std::int16_t isNull;
            std::memcpy(&isNull, buffer.data() + nullOffset, sizeof isNull);
            std::uint16_t length = 0;
            if (!isNull) {
                std::memcpy(&length, buffer.data() + offset, sizeof length);
            }
            cells.emplace_back(texts.size(), length);
            texts.append(reinterpret_cast<const char*>(buffer.data() + offset + 2), length);
        }
    }
};

// What a writing statement does to its table's number of rows.
enum class RowEffect { AddsOne, KeepsCount, Removes, Unknown };

struct WriteStatement {
    const char* operation;
    std::string text;
    std::string_view table;  // empty for a script
    RowEffect effect;
    bool counted = false;  // the caller asks how many rows it changed
};

// What a reading statement needs of its result. Only what is kept is converted and stored.
enum class Keep { Rows, FirstRow, RowCount, ColumnNames };

std::string TrimRight(std::string text) {
    text.erase(std::find_if(text.rbegin(), text.rend(), [](char c) { return c != ' '; }).base(), text.end());
    return text;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
               return up(x) == up(y);
           });
}

// The settings keep the path in code-page bytes; Firebird is told it gets UTF-8 and turns it into the
// database host's own file-system names, so a Japanese folder reaches any server, and the embedded
// engine, as the same name.
std::string FirebirdPath(const ConnectionSettings& settings) {
    return Utf8FromCp932(settings.DatabasePath());
}

}  // namespace

struct Database::Impl {
    explicit Impl(const ConnectionSettings& s) : settings(s) {}

    const ConnectionSettings& settings;
    IMaster* master = fb_get_master_interface();
    IUtil* util = master->getUtilInterface();
    IAttachment* attachment = nullptr;
    ITransaction* transaction = nullptr;  // the one transaction of the statement layer
    // Reads run in this transaction: read-only and read-committed, it sees each commit as it
    // happens. Through a server the reads of one command share it, which spares each read the round
    // trips to start and end a transaction; it ends once the connection has been idle a moment,
    // before a change of tables and when the connection is left. A transaction that has read a
    // table keeps every other connection from dropping that table until it ends, so none is left
    // open any longer.
    ITransaction* reader = nullptr;
    std::optional<Result> result;  // the open result of OpenSelect
    StatementTrace trace;
    WriteObserver writeObserver;
    ErrorHook errorHook;
    std::function<bool(std::string_view table)> detailFor;
    std::string lastError;
    std::uint64_t session = 0;
    bool remote = false;  // attached through a server
    bool gone = false;    // a call of the operation under way found the connection gone
    bool lost = false;    // the connection is gone and being made again
    int depth = 0;        // public operations under way, one inside another
    std::unique_ptr<Reattacher> reattacher;
    std::unique_ptr<StatementDeadline> deadline;
    std::atomic<StatementDeadline*> deadlineForOthers{nullptr};  // the same, for other threads
    std::atomic<bool> leaving{false};          // its calls were given up for good: nothing is made again
    std::unique_ptr<ConnectionThread> thread;  // made with the first server connection
    ConnectionThread::Waiter waiter;
    // The connection whose call this thread waits for, if any.
    static thread_local Impl* waiting;
    std::chrono::milliseconds allowed{20000};
    // The writers' one transaction while WriteTogether runs, and what they wrote in it.
    struct Batch {
        ITransaction* transaction = nullptr;
        bool failed = false;
        std::vector<OwnWrite> writes;
    };
    std::optional<Batch> batch;
    std::vector<std::weak_ptr<ConnectionListener>> listeners;

    void Report(const char* operation, const FbException& error) {
        gone = gone || ConnectionGone(error.getStatus());
        Report(operation, FailureWords(util, error.getStatus()).c_str());
    }

    void Report(const char* operation, const char* message) {
        lastError = message;
        if (errorHook) {
            errorHook(operation, message);
        }
    }

    // Every listener is told, also one that a listener removes meanwhile is not called afterwards.
    void Tell(ConnectionEvent event) {
        if (event == ConnectionEvent::Attached || event == ConnectionEvent::Detached) {
            ++session;
        }
        const auto listening = listeners;
        for (const auto& listener : listening) {
            if (const std::shared_ptr<ConnectionListener> alive = listener.lock()) {
                (*alive)(event);
            }
        }
        std::erase_if(listeners, [](const auto& listener) { return listener.expired(); });
    }

    void Trace(const std::string& text) {
        if (trace) {
            trace(text);
        }
    }

    // Rolls `open` back; harmless when there is none or it is dead. `report` says whether a failure
    // is worth telling.
    void End(ITransaction*& open, bool report = true) {
        if (open == nullptr) {
            return;
        }
        ThrowStatusWrapper status(master->getStatus());
        try {
            open->rollback(&status);
        } catch (const FbException& error) {
            if (report) {
                Report("rollback", error);
            }
            open->release();
        }
        status.dispose();
        open = nullptr;
    }

    void EndTransaction() { End(transaction); }

    ITransaction* Reader(ThrowStatusWrapper& status) {
        if (reader == nullptr) {
            static constexpr unsigned char kReadCommitted[] = {isc_tpb_version3, isc_tpb_read,
                                                               isc_tpb_read_committed, isc_tpb_rec_version};
            reader = attachment->startTransaction(&status, sizeof kReadCommitted, kReadCommitted);
        }
        return reader;
    }

    void EndReader(bool report = true) { End(reader, report); }

    // CloseStatement: the open result is dropped and the transaction rolled back.
    void CloseStatement() {
        result.reset();
        EndTransaction();
    }

    // Runs one public operation. On a server's connection its calls are abandoned when they get no
    // answer in time; a connection found gone meanwhile is dropped and made again in the background.
    template <typename Operation>
    auto Guarded(Operation operation) {
        using Answer = decltype(operation());
        // While this thread waits for one of this connection's calls it goes on with its events; one
        // of them must not start another call on the same connection meanwhile.
        if (waiting == this) {
            Report("Database", "a call is still waiting for the server");
            if constexpr (std::is_same_v<Answer, long long>) {
                return -1LL;
            } else {
                return Answer();
            }
        }
        struct Scope {
            Impl& impl;
            const bool armed;
            ~Scope() {
                if (armed) {
                    impl.deadline->Disarm();
                }
                if (--impl.depth == 0 && impl.gone) {
                    impl.MarkLost();
                }
            }
        } scope{*this, depth++ == 0 && remote && attachment != nullptr};
        if (!scope.armed) {
            return operation();
        }
        deadline->Arm(attachment, allowed);
        return OnConnectionThread(operation);
    }

    void Interrupt() {
        leaving = true;
        if (StatementDeadline* const watching = deadlineForOthers.load()) {
            watching->Expire();
        }
    }

    // Makes the connection: through a server on the connection's own thread, which may take a while.
    template <typename Operation>
    auto Connecting(Operation operation) {
        return settings.serverPrefix.empty() ? operation() : OnConnectionThread(operation);
    }

    // Runs `operation` on the connection's own thread while this one waits, painting its windows
    // when a waiter says how.
    template <typename Operation>
    auto OnConnectionThread(Operation operation) {
        if (!thread) {
            thread = std::make_unique<ConnectionThread>();
            thread->SetIdleTask([this] { EndReader(false); }, kReaderIdle);
        }
        Impl* const outer = std::exchange(waiting, this);
        using Answer = decltype(operation());
        if constexpr (std::is_void_v<Answer>) {
            thread->Run(operation, waiter);
            waiting = outer;
        } else {
            std::optional<Answer> answer;
            thread->Run([&] { answer.emplace(operation()); }, waiter);
            waiting = outer;
            return std::move(*answer);
        }
    }

    void MarkLost() {
        gone = false;
        result.reset();
        // A call given up because its connection is being left is not made again.
        if (leaving) {
            lost = false;
            reattacher.reset();
        }
        // Nothing can be rolled back or detached over a connection that is gone. The handles are let
        // go on the thread that uses them, where the idle end of the read transaction may be under way.
        const auto letGo = [this] {
            for (ITransaction** open : {&transaction, &reader}) {
                if (*open != nullptr) {
                    (*open)->release();
                    *open = nullptr;
                }
            }
            if (attachment != nullptr) {
                attachment->release();
                attachment = nullptr;
            }
        };
        if (thread) {
            thread->Run(letGo, {});
        } else {
            letGo();
        }
        if (!lost && !leaving) {
            lost = true;
            reattacher = std::make_unique<Reattacher>(master, FirebirdPath(settings));
            Tell(ConnectionEvent::Lost);
        }
    }

    void Attach(IAttachment* made) {
        attachment = made;
        remote = !settings.serverPrefix.empty();
        if (remote && !deadline) {
            deadline = std::make_unique<StatementDeadline>(master);
            deadlineForOthers = deadline.get();
        }
    }

    // Leaves the database; true when there was one to leave. The listeners are not told yet.
    bool DetachQuietly() {
        CloseStatement();
        EndReader();
        if (lost) {
            reattacher.reset();
            lost = false;
            return true;
        }
        if (attachment == nullptr) {
            return false;
        }
        ThrowStatusWrapper status(master->getStatus());
        try {
            attachment->detach(&status);
        } catch (const FbException& error) {
            Report("detach", error);
            attachment->release();  // a connection that went away is dropped all the same
        }
        status.dispose();
        attachment = nullptr;
        gone = false;  // it is left either way
        return true;
    }

    // The transaction's own number, which the rows it writes carry as their record version; 0 when
    // the server does not say.
    std::int64_t TransactionNumber(ITransaction* tra, ThrowStatusWrapper& status) {
        const unsigned char items[] = {isc_info_tra_id};
        unsigned char answer[32] = {};
        tra->getInfo(&status, sizeof items, items, sizeof answer, answer);
        if (answer[0] != isc_info_tra_id) {
            return 0;
        }
        const unsigned length = answer[1] | answer[2] << 8;
        std::int64_t number = 0;
        for (unsigned i = 0; i < length && i < 8 && 3 + i < sizeof answer; ++i) {
            number |= std::int64_t{answer[3 + i]} << (8 * i);
        }
        return number;
    }

    // Runs one writing statement and, outside a batch, commits it in a transaction of its own.
    // Answers the rows it changed when they were counted (0 when not), -1 when it failed.
    long long Write(const WriteStatement& write) {
        return Guarded([&] { return WriteNow(write); });
    }

    long long WriteNow(const WriteStatement& write) {
        Trace(write.text);
        ThrowStatusWrapper status(master->getStatus());
        const bool detailed = writeObserver && detailFor && !write.table.empty() && detailFor(write.table);
        const bool counted = write.counted || (detailed && write.effect == RowEffect::Removes);
        long long changed = -1;
        OwnWrite own{std::string(write.table), 0, 0, false};
        ITransaction* tra = nullptr;
        try {
            CloseStatement();
            if (attachment == nullptr) {
                throw std::runtime_error("not attached");
            }
            // A table the read transaction has used cannot be dropped or altered meanwhile.
            if (write.effect == RowEffect::Unknown) {
                EndReader();
            }
            if (batch && batch->failed) {
                throw std::runtime_error("an earlier statement of the batch failed");
            }
            tra = batch ? batch->transaction : attachment->startTransaction(&status, 0, nullptr);
            if (!batch) {
                transaction = tra;
            }
            changed = counted ? ExecuteCounted(tra, write.text, status) : Execute(tra, write.text, status);
            if (detailed) {
                own.transaction = TransactionNumber(tra, status);
                own.rowsAdded = write.effect == RowEffect::AddsOne   ? 1
                                : write.effect == RowEffect::Removes ? -changed
                                                                     : 0;
                own.known = own.transaction != 0 && write.effect != RowEffect::Unknown;
            }
            if (!batch) {
                transaction->commit(&status);
                transaction = nullptr;
            }
        } catch (const FbException& error) {
            Report(write.operation, error);
            changed = -1;
        } catch (const std::exception& error) {
            Report(write.operation, error.what());
            changed = -1;
        }
        status.dispose();
        if (batch) {
            batch->failed = batch->failed || changed < 0;
            if (changed >= 0) {
                batch->writes.push_back(std::move(own));
            }
            return changed;
        }
        EndTransaction();
        if (changed >= 0 && writeObserver) {
            writeObserver(own);
        }
        return changed;
    }

    long long Execute(ITransaction* tra, const std::string& text, ThrowStatusWrapper& status) {
        attachment->execute(&status, tra, static_cast<unsigned>(text.size()), text.c_str(), kDialect, nullptr,
                            nullptr, nullptr, nullptr);
        return 0;
    }

    // Prepared rather than executed at once, so that the server says how many rows it changed.
    long long ExecuteCounted(ITransaction* tra, const std::string& text, ThrowStatusWrapper& status) {
        IStatement* statement =
            attachment->prepare(&status, tra, static_cast<unsigned>(text.size()), text.c_str(), kDialect, 0);
        try {
            statement->execute(&status, tra, nullptr, nullptr, nullptr, nullptr);
            const long long changed = static_cast<long long>(statement->getAffectedRecords(&status));
            statement->free(&status);
            return changed;
        } catch (...) {
            statement->release();
            throw;
        }
    }

    // Runs a reading statement in `tra` and keeps what `keep` asks for of its result: every row as
    // texts, the first row only, only the number of rows, or only the column names.
    std::optional<Result> Fetch(const char* operation, ITransaction* tra, const std::string& text,
                                Keep keep) {
        Trace(text);
        ThrowStatusWrapper status(master->getStatus());
        IStatement* statement = nullptr;
        IMessageMetadata* described = nullptr;
        IMetadataBuilder* builder = nullptr;
        IMessageMetadata* converted = nullptr;
        IResultSet* cursor = nullptr;
        std::optional<Result> fetched;
        try {
            statement = attachment->prepare(&status, tra, static_cast<unsigned>(text.size()), text.c_str(),
                                            kDialect, IStatement::PREPARE_PREFETCH_METADATA);
            described = statement->getOutputMetadata(&status);
            const unsigned columns = described->getCount(&status);
            Result rows;
            for (unsigned i = 0; i < columns; ++i) {
                rows.names.push_back(TrimRight(described->getAlias(&status, i)));
            }
            const bool keepValues = keep == Keep::Rows || keep == Keep::FirstRow;
            if (keepValues) {
                // Every column is asked for as VARCHAR: the server converts numbers to their decimal
                // text and passes text columns through as the bytes stored.
                builder = described->getBuilder(&status);
                for (unsigned i = 0; i < columns; ++i) {
                    const unsigned type = described->getType(&status, i) & ~1u;
                    const bool isText = type == SQL_TEXT || type == SQL_VARYING;
                    builder->setType(&status, i, SQL_VARYING + 1);
                    builder->setLength(&status, i,
                                       isText ? described->getLength(&status, i) : kConvertedLength);
                    if (!isText) {
                        builder->setCharSet(&status, i, 0);
                    }
                    builder->setScale(&status, i, 0);
                }
                converted = builder->getMetadata(&status);
            }
            IMessageMetadata* message = keepValues ? converted : described;
            cursor = statement->openCursor(&status, tra, nullptr, nullptr, message, 0);
            std::vector<unsigned char> buffer(message->getMessageLength(&status));
            std::vector<std::pair<unsigned, unsigned>> offsets;
            for (unsigned i = 0; keepValues && i < columns; ++i) {
                offsets.emplace_back(converted->getOffset(&status, i), converted->getNullOffset(&status, i));
            }
            while (keep != Keep::ColumnNames &&
                   cursor->fetchNext(&status, buffer.data()) == IStatus::RESULT_OK) {
                ++rows.count;
                if (!keepValues) {
                    continue;
                }
                rows.KeepRow(buffer, offsets);
                if (keep == Keep::FirstRow) {
                    break;
                }
            }
            cursor->close(&status);
            cursor = nullptr;
            fetched = std::move(rows);
        } catch (const FbException& error) {
            Report(operation, error);
        }
        if (cursor) {
            cursor->release();
        }
        if (converted) {
            converted->release();
        }
        if (builder) {
            builder->release();
        }
        if (described) {
            described->release();
        }
        if (statement) {
            statement->release();
        }
        status.dispose();
        return fetched;
    }

    // A reading statement of the statement layer, in the read transaction.
    std::optional<Result> Read(const char* operation, const std::string& text, Keep keep) {
        return Guarded([&] { return ReadNow(operation, text, keep); });
    }

    std::optional<Result> ReadNow(const char* operation, const std::string& text, Keep keep) {
        if (attachment == nullptr) {
            return std::nullopt;
        }
        if (batch) {
            Report(operation, "a read would end the open write batch");
            return std::nullopt;
        }
        CloseStatement();
        return ReadIn(operation, text, keep);
    }

    // The read transaction's statement; one that fails takes the transaction with it.
    std::optional<Result> ReadIn(const char* operation, const std::string& text, Keep keep) {
        ThrowStatusWrapper status(master->getStatus());
        ITransaction* tra = nullptr;
        try {
            tra = Reader(status);
        } catch (const FbException& error) {
            Report(operation, error);
        }
        status.dispose();
        if (tra == nullptr) {
            return std::nullopt;
        }
        std::optional<Result> fetched = Fetch(operation, tra, text, keep);
        // A failed read takes its transaction with it, so that the next begins afresh; a connection
        // found gone is dropped as a whole, its transactions with it. Without a server's round trips
        // to spare, every read ends its transaction at once.
        if ((!fetched || !remote) && !gone) {
            EndReader();
        }
        return fetched;
    }

    void FillRow(std::span<std::string> row) {
        for (std::size_t i = 0; i < result->names.size() && i < row.size(); ++i) {
            row[i] = result->Text(result->cursor, i);
        }
    }

    void EmptyRow(std::span<std::string> row) {
        for (std::size_t i = 0; i < result->names.size() && i < row.size(); ++i) {
            row[i].clear();
        }
    }
};

thread_local Database::Impl* Database::Impl::waiting = nullptr;

Database::Database(const ConnectionSettings& settings) : impl_(std::make_unique<Impl>(settings)) {}

Database::~Database() {
    // On the connection's own thread, after the idle end of its read transaction if that is under way.
    if (impl_->thread) {
        impl_->thread->Run([this] { impl_->DetachQuietly(); }, {});
    } else {
        impl_->DetachQuietly();
    }
}

void Database::CreateDatabase() {
    if (Attached()) {
        return;
    }
    const std::string path = FirebirdPath(impl_->settings);
    if (const std::string& refusal = RefusalToOpen(path); !refusal.empty()) {
        impl_->Report("CreateDatabase", refusal.c_str());
        return;
    }
    const Credentials credentials = FirebirdCredentials();
    const std::string text = CreateDatabaseText(path, credentials.user, credentials.password);
    impl_->Trace(text);
    IAttachment* const created = impl_->Connecting([&]() -> IAttachment* {
        ThrowStatusWrapper status(impl_->master->getStatus());
        IAttachment* made = nullptr;
        try {
            FB_BOOLEAN isCreate = false;
            made = impl_->util->executeCreateDatabase(&status, static_cast<unsigned>(text.size()),
                                                      text.c_str(), kDialect, &isCreate);
        } catch (const FbException& error) {
            impl_->Report("CreateDatabase", error);
            impl_->gone = false;  // nothing was attached that could be lost
        }
        status.dispose();
        return made;
    });
    if (created != nullptr) {
        impl_->Attach(created);
        impl_->Tell(ConnectionEvent::Attached);
    }
}

void Database::ConnectDatabase() {
    if (Attached()) {
        return;
    }
    const AttachOutcome outcome =
        impl_->Connecting([this] { return AttachDatabase(impl_->master, FirebirdPath(impl_->settings)); });
    if (outcome.attachment == nullptr) {
        impl_->Report("ConnectDatabase", outcome.error.c_str());
        return;
    }
    impl_->Attach(outcome.attachment);
    impl_->Tell(ConnectionEvent::Attached);
}

void Database::DisconnectDatabase() {
    if (impl_->Guarded([this] { return impl_->DetachQuietly(); })) {
        impl_->Tell(ConnectionEvent::Detached);
    }
}

const ConnectionSettings& Database::Settings() const {
    return impl_->settings;
}

bool Database::Attached() const {
    return impl_->attachment != nullptr || impl_->lost;
}

bool Database::Lost() const {
    return impl_->lost;
}

bool Database::Reattached() {
    IAttachment* made = impl_->lost ? impl_->reattacher->Take() : nullptr;
    if (made == nullptr) {
        return false;
    }
    impl_->reattacher.reset();
    impl_->lost = false;
    impl_->Attach(made);
    impl_->Tell(ConnectionEvent::Restored);
    return true;
}

void Database::SetStatementDeadline(std::chrono::milliseconds allowed) {
    impl_->allowed = allowed;
}

void Database::SetWaiter(Waiter waiter) {
    impl_->waiter = std::move(waiter);
}

bool Database::Waiting() {
    return Impl::waiting != nullptr;
}

void Database::AbandonWaiting() {
    if (Impl::waiting != nullptr) {
        Impl::waiting->Interrupt();
    }
}

void Database::Interrupt() {
    impl_->Interrupt();
}

bool Database::TableExists(std::string_view name) {
    return impl_->Guarded([&] { return TableExistsNow(name); });
}

bool Database::TableExistsNow(std::string_view name) {
    if (impl_->attachment == nullptr) {
        return false;
    }
    // The open result and a write batch under way are left as they are.
    const std::optional<Result> tables = impl_->ReadIn("TableExists", TableNamesText(), Keep::Rows);
    if (!tables) {
        return false;
    }
    for (std::size_t row = 0; row < tables->KeptRows(); ++row) {
        if (EqualIgnoringCase(TrimRight(std::string(tables->Text(row, 0))), name)) {
            return true;
        }
    }
    return false;
}

bool Database::ExecuteScript(const std::vector<std::string>& lines) {
    return !lines.empty() && impl_->Write({"ExecuteScript", JoinLines(lines), {}, RowEffect::Unknown}) >= 0;
}

bool Database::DropTable(std::string_view name) {
    return impl_->Write({"DropTable", DropTableText(name), name, RowEffect::Unknown}) >= 0;
}

bool Database::InsertRow(std::string_view table, std::span<const std::string> columns,
                         std::span<const std::string> values) {
    if (impl_->attachment == nullptr || values.size() < columns.size()) {
        return false;
    }
    return impl_->Write({"InsertRow", InsertRowText(table, columns, values), table, RowEffect::AddsOne}) >= 0;
}

bool Database::UpdateColumns(std::string_view table, std::span<const std::string> columns,
                             std::span<const std::string> values, std::string_view where) {
    return UpdateColumnsChanged(table, columns, values, where, false) >= 0;
}

bool Database::UpdateSet(std::string_view table, std::string_view setClause, std::string_view where) {
    return UpdateSetChanged(table, setClause, where, false) >= 0;
}

bool Database::DeleteRows(std::string_view table, std::string_view where) {
    return impl_->attachment != nullptr &&
           impl_->Write({"DeleteRows", DeleteRowsText(table, where), table, RowEffect::Removes}) >= 0;
}

long long Database::UpdateColumnsChanged(std::string_view table, std::span<const std::string> columns,
                                         std::span<const std::string> values, std::string_view where,
                                         bool counted) {
    if (impl_->attachment == nullptr || values.size() < columns.size()) {
        return -1;
    }
    return impl_->Write({"UpdateColumns", UpdateColumnsText(table, columns, values, where), table,
                         RowEffect::KeepsCount, counted});
}

long long Database::UpdateSetChanged(std::string_view table, std::string_view setClause,
                                     std::string_view where, bool counted) {
    if (impl_->attachment == nullptr) {
        return -1;
    }
    return impl_->Write(
        {"UpdateSet", UpdateSetText(table, setClause, where), table, RowEffect::KeepsCount, counted});
}

bool Database::WriteTogether(const std::function<bool()>& writes) {
    return impl_->Guarded([&] { return WriteTogetherNow(writes); });
}

bool Database::WriteTogetherNow(const std::function<bool()>& writes) {
    Impl& impl = *impl_;
    if (impl.attachment == nullptr || impl.batch) {
        return false;
    }
    impl.CloseStatement();
    ThrowStatusWrapper status(impl.master->getStatus());
    bool committed = false;
    try {
        impl.batch.emplace();
        impl.batch->transaction = impl.attachment->startTransaction(&status, 0, nullptr);
        if (writes() && !impl.batch->failed) {
            impl.batch->transaction->commit(&status);
            impl.batch->transaction = nullptr;
            committed = true;
        }
    } catch (const FbException& error) {
        impl.Report("WriteTogether", error);
    }
    status.dispose();
    if (ITransaction* open = impl.batch->transaction) {
        impl.transaction = open;  // rolled back like any other
        impl.EndTransaction();
    }
    const std::vector<OwnWrite> written = std::move(impl.batch->writes);
    impl.batch.reset();
    if (committed && impl.writeObserver) {
        for (const OwnWrite& write : written) {
            impl.writeObserver(write);
        }
    }
    return committed;
}

int Database::CountRows(std::string_view table, std::string_view where) {
    const std::optional<Result> rows = impl_->Read("CountRows", CountRowsText(table, where), Keep::RowCount);
    return rows ? static_cast<int>(rows->count) : -1;
}

int Database::CountColumns(std::string_view table) {
    const std::optional<Result> rows =
        impl_->Read("CountColumns", CountColumnsText(table), Keep::ColumnNames);
    return rows ? static_cast<int>(rows->names.size()) : -1;
}

std::string Database::SelectMax(std::string_view table, std::string_view column, std::string_view where) {
    const std::optional<Result> rows =
        impl_->Read("SelectMax", SelectMaxText(table, column, where), Keep::FirstRow);
    if (!rows || rows->KeptRows() == 0) {
        return std::string();
    }
    return std::string(rows->Text(0, 0));
}

int Database::OpenSelect(std::string_view columns, std::string_view table, std::string_view where,
                         std::string_view orderBy) {
    impl_->result = impl_->Read("OpenSelect", OpenSelectText(columns, table, where, orderBy), Keep::Rows);
    return impl_->result ? static_cast<int>(impl_->result->KeptRows()) : 0;
}

void Database::ReadColumnNames(std::span<std::string> names) {
    if (!impl_->result) {
        return;
    }
    for (std::size_t i = 0; i < impl_->result->names.size() && i < names.size(); ++i) {
        names[i] = impl_->result->names[i];
    }
}

void Database::ReadFirstRow(std::span<std::string> row) {
    if (!impl_->result) {
        return;
    }
    impl_->EmptyRow(row);
    impl_->result->cursor = 0;
    if (impl_->result->KeptRows() > 0) {
        impl_->FillRow(row);
    }
}

void Database::ReadNextRow(std::span<std::string> row) {
    if (!impl_->result) {
        return;
    }
    Result& result = *impl_->result;
    if (result.cursor < result.KeptRows()) {
        ++result.cursor;
    }
    if (result.cursor >= result.KeptRows()) {
        impl_->EmptyRow(row);
        return;
    }
    impl_->FillRow(row);
}

void Database::CloseResult() {
    impl_->result.reset();
}

bool Database::ResultOpen() const {
    return impl_->result.has_value();
}

void Database::CloseStatement() {
    impl_->Guarded([this] {
        impl_->CloseStatement();
        impl_->EndReader();
    });
}

void Database::SetStatementTrace(StatementTrace trace) {
    impl_->trace = std::move(trace);
}

void Database::SetWriteObserver(WriteObserver observer,
                                std::function<bool(std::string_view table)> detailFor) {
    impl_->writeObserver = std::move(observer);
    impl_->detailFor = std::move(detailFor);
}

void Database::SetErrorHook(ErrorHook hook) {
    impl_->errorHook = std::move(hook);
}

const std::string& Database::LastError() const {
    return impl_->lastError;
}

std::uint64_t Database::Session() const {
    return impl_->session;
}

std::shared_ptr<void> Database::Listen(ConnectionListener listener) {
    auto kept = std::make_shared<ConnectionListener>(std::move(listener));
    impl_->listeners.push_back(kept);
    return kept;
}
