#include "storage/database.h"

#include <utility>

#include "storage/credentials.h"
#include "storage/database_impl.h"
#include "storage/firebird_attach.h"
#include "storage/statement_text.h"

using namespace Firebird;

Database::Database(const ConnectionSettings& settings) : impl_(std::make_unique<Impl>(settings)) {}

Database::~Database() {
    // On the connection's own thread, after the idle end of its read transaction if that is under way.
    // A server that stopped answering is given up after the deadline here too, not waited for.
    impl_->calls.Quietly([this] { impl_->DetachQuietly(); }, impl_->remote ? impl_->attachment : nullptr);
}

void Database::CreateDatabase() {
    if (Attached()) {
        return;
    }
    const std::string path = impl_->FirebirdPath();
    if (const std::string& refusal = RefusalToOpen(path); !refusal.empty()) {
        impl_->Report("CreateDatabase", refusal.c_str());
        return;
    }
    const Credentials credentials = FirebirdCredentials();
    const std::string text = CreateDatabaseText(path, credentials.user, credentials.password);
    impl_->Trace(text);
    const AttachOutcome created = impl_->Connecting([master = impl_->master, text] {
        ThrowStatusWrapper status(master->getStatus());
        AttachOutcome made;
        try {
            FB_BOOLEAN isCreate = false;
            made.attachment = master->getUtilInterface()->executeCreateDatabase(
                &status, static_cast<unsigned>(text.size()), text.c_str(), kSqlDialect, &isCreate);
        } catch (const FbException& error) {
            made.error = FailureWords(master->getUtilInterface(), error.getStatus());
        }
        status.dispose();
        return made;
    });
    if (created.attachment == nullptr) {
        impl_->Report("CreateDatabase", created.error.c_str());
        return;
    }
    impl_->Attach(created.attachment);
    impl_->life.Tell(ConnectionEvent::Attached);
}

void Database::ConnectDatabase() {
    if (Attached()) {
        return;
    }
    const AttachOutcome outcome = impl_->Connecting(
        [master = impl_->master, path = impl_->FirebirdPath()] { return AttachDatabase(master, path); });
    if (outcome.attachment == nullptr) {
        impl_->Report("ConnectDatabase", outcome.error.c_str());
        return;
    }
    impl_->Attach(outcome.attachment);
    impl_->life.Tell(ConnectionEvent::Attached);
}

void Database::DisconnectDatabase() {
    if (impl_->Guarded([this] { return impl_->DetachQuietly(); })) {
        impl_->life.Tell(ConnectionEvent::Detached);
    }
}

const ConnectionSettings& Database::Settings() const {
    return impl_->settings;
}

bool Database::Attached() const {
    return impl_->attachment != nullptr || impl_->life.Lost();
}

bool Database::Lost() const {
    return impl_->life.Lost();
}

bool Database::Reattached() {
    IAttachment* const made = impl_->life.TakeReattached();
    if (made == nullptr) {
        return false;
    }
    impl_->Attach(made);
    impl_->life.Tell(ConnectionEvent::Restored);
    return true;
}

void Database::SetStatementDeadline(std::chrono::milliseconds allowed) {
    impl_->Allow(allowed);
}

void Database::SetReadsFailOnPendingWrites(bool fail) {
    impl_->transactions.EndReading();
    impl_->transactions.SetPendingWritesFail(fail);
}

void Database::SetWaiter(Waiter waiter) {
    impl_->calls.SetWaiter(std::move(waiter));
}

bool Database::Waiting() {
    return ServerCalls::Waiting();
}

void Database::AbandonWaiting() {
    ServerCalls::AbandonWaiting();
}

void Database::Interrupt() {
    impl_->calls.Interrupt();
}

bool Database::TableExists(std::string_view name) {
    return impl_->Guarded([&] { return TableExistsNow(name); });
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
    return DeleteRowsChanged(table, where, false) >= 0;
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

long long Database::DeleteRowsChanged(std::string_view table, std::string_view where, bool counted) {
    if (impl_->attachment == nullptr) {
        return -1;
    }
    return impl_->Write({"DeleteRows", DeleteRowsText(table, where), table, RowEffect::Removes, counted});
}

bool Database::WriteTogether(const std::function<bool()>& writes) {
    return impl_->Guarded([&] { return WriteTogetherNow(writes); });
}

void Database::ReadTogether(const std::function<void()>& reads) {
    impl_->Guarded([&] { ReadTogetherNow(reads); });
}

int Database::CountRows(std::string_view table, std::string_view where) {
    const std::optional<FetchedRows> rows =
        impl_->Read("CountRows", CountRowsText(table, where), Keep::RowCount);
    return rows ? static_cast<int>(rows->count) : -1;
}

int Database::CountColumns(std::string_view table) {
    const std::optional<FetchedRows> rows =
        impl_->Read("CountColumns", CountColumnsText(table), Keep::ColumnNames);
    return rows ? static_cast<int>(rows->names.size()) : -1;
}

std::string Database::SelectMax(std::string_view table, std::string_view column, std::string_view where) {
    const std::optional<FetchedRows> rows =
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
    impl_->result->EmptyRow(row);
    impl_->result->cursor = 0;
    if (impl_->result->KeptRows() > 0) {
        impl_->result->FillRow(row);
    }
}

void Database::ReadNextRow(std::span<std::string> row) {
    if (!impl_->result) {
        return;
    }
    FetchedRows& result = *impl_->result;
    if (result.cursor < result.KeptRows()) {
        ++result.cursor;
    }
    if (result.cursor >= result.KeptRows()) {
        result.EmptyRow(row);
        return;
    }
    result.FillRow(row);
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
        impl_->transactions.EndReading();
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
    return impl_->life.Session();
}

std::shared_ptr<void> Database::Listen(ConnectionListener listener) {
    return impl_->life.Listen(std::move(listener));
}
