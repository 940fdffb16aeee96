#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/connection_settings.h"

// The program's one database connection with its one transaction and one query. Every read and
// write of the database goes through these operations. No operation throws or shows anything:
// writers answer false, counters -1, SelectMax an empty text, OpenSelect 0.
//
// Texts are code-page bytes, sent and received unchanged. Statement texts are lists of lines sent
// joined by CR LF; values arrive as finished SQL literals (see common/sql_literal.h).
class Database {
public:
    // The connection always uses the settings' current values when it creates or attaches.
    explicit Database(const ConnectionSettings& settings);
    Database(ConnectionSettings&&) = delete;  // it keeps a reference: the settings must outlive it
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Where it creates and attaches.
    const ConnectionSettings& Settings() const;

    // Creates the database file at the settings' path and leaves it attached; failures are silent.
    void CreateDatabase();
    // Attaches unless attached already; failures leave it detached.
    void ConnectDatabase();
    // Closes the query, rolls back any open transaction and detaches. Always safe.
    void DisconnectDatabase();
    // Attached, or its connection lost and being made again.
    bool Attached() const;
    // The connection went away (the network, the server); statements fail at once until it is back.
    bool Lost() const;
    // Takes up the connection made again in the background, telling the listeners Restored; true
    // when it did. Called regularly while Lost.
    bool Reattached();
    // How long a call on a server's connection may go without an answer before it is abandoned and
    // the connection made again; 20 seconds unless a test says otherwise. Each call has that time of
    // its own. A wait for another connection's lock ends after half of it (a second at least), as a
    // failure of the statement that waited.
    void SetStatementDeadline(std::chrono::milliseconds allowed);
    // From the next read on, a read that meets a row another transaction has written and not committed
    // yet fails at once, instead of reading the row as last committed: what a read gives then holds
    // every write made before it began.
    void SetReadsFailOnPendingWrites(bool fail);
    // A server's connection makes its calls on a thread of its own. The thread that asked waits for
    // the answer through `waiter` when it does not come at once: `waitABit` blocks a little and
    // answers whether it has come. Without a waiter it simply blocks.
    using Waiter = std::function<void(const std::function<bool()>& waitABit)>;
    void SetWaiter(Waiter waiter);
    // This thread waits for a call on a server's connection: nothing else of it may use a
    // connection meanwhile.
    static bool Waiting();
    // The call this thread waits for is given up now (see Interrupt).
    static void AbandonWaiting();
    // The call under way on this server connection is given up now, whichever thread made it, and
    // the connection is not made again: it is being left. May be called from any thread.
    void Interrupt();
    // A user table (not a view, not a system table) of that name exists; case is ignored.
    bool TableExists(std::string_view name);

    // Writers: each statement is its own transaction, committed at once; true when committed.
    bool ExecuteScript(const std::vector<std::string>& lines);
    bool DropTable(std::string_view name);
    bool InsertRow(std::string_view table, std::span<const std::string> columns,
                   std::span<const std::string> values);
    bool UpdateColumns(std::string_view table, std::span<const std::string> columns,
                       std::span<const std::string> values, std::string_view where);
    bool UpdateSet(std::string_view table, std::string_view setClause, std::string_view where);
    bool DeleteRows(std::string_view table, std::string_view where);
    // The two updates and the removal, answering how many rows the statement changed when `counted` (a
    // statement the server prepares first), 0 when not; -1 when it failed and nothing was committed.
    long long UpdateColumnsChanged(std::string_view table, std::span<const std::string> columns,
                                   std::span<const std::string> values, std::string_view where,
                                   bool counted = true);
    long long UpdateSetChanged(std::string_view table, std::string_view setClause, std::string_view where,
                               bool counted = true);
    long long DeleteRowsChanged(std::string_view table, std::string_view where, bool counted = true);
    // The writers called by `writes` share one transaction, committed when `writes` answers true and
    // every one of them succeeded, rolled back otherwise: all of their rows stand, or none. The readers
    // called meanwhile read in that transaction: the moment it began, with its own writes. True when
    // committed.
    bool WriteTogether(const std::function<bool()>& writes);

    // The readers called by `reads` see the database at one moment: they share one snapshot, let go
    // when `reads` returns. Writes are refused meanwhile.
    void ReadTogether(const std::function<void()>& reads);

    // Readers. The read transaction stays open until the next statement.
    int CountRows(std::string_view table, std::string_view where);
    int CountColumns(std::string_view table);
    std::string SelectMax(std::string_view table, std::string_view column, std::string_view where);
    // Number of rows; the result stays open on its first row for the row readers.
    int OpenSelect(std::string_view columns, std::string_view table, std::string_view where,
                   std::string_view orderBy);

    // Row readers over the result OpenSelect left open; they do nothing when none is open. Each
    // column goes to the entry of its position; a NULL reads as empty text. Entries beyond the
    // caller's array are not written.
    void ReadColumnNames(std::span<std::string> names);
    void ReadFirstRow(std::span<std::string> row);
    void ReadNextRow(std::span<std::string> row);
    void CloseResult();
    // OpenSelect left a result open: false when its statement failed, and after CloseResult.
    bool ResultOpen() const;
    // Closes the query and rolls back the open transaction.
    void CloseStatement();

    // Sees every statement text exactly as it is sent.
    using StatementTrace = std::function<void(const std::string& text)>;
    void SetStatementTrace(StatementTrace trace);
    // A committed write of the program's own, as against another program's.
    struct OwnWrite {
        std::string table;             // empty for a script
        std::int64_t transaction = 0;  // the number its rows carry as their record version
        long long rowsAdded = 0;       // negative when rows were removed
        bool known = false;            // transaction and rowsAdded were asked for and are known
    };
    using WriteObserver = std::function<void(const OwnWrite& write)>;
    // Told after each writer's statement has been committed. For the tables `detailFor` names, the
    // write's transaction number and row change are asked for (a server answers them at the cost of
    // a round trip each).
    void SetWriteObserver(WriteObserver observer, std::function<bool(std::string_view table)> detailFor = {});
    // Sees every error the operations swallow; silent unless a developer installs one.
    using ErrorHook = std::function<void(const std::string& operation, const std::string& message)>;
    void SetErrorHook(ErrorHook hook);
    // Firebird's own words for the last error an operation swallowed, for the user to read.
    const std::string& LastError() const;

    // Changes whenever the connection attaches or detaches: work begun on one database compares it
    // before each step, so that nothing read from one database is ever written into another.
    std::uint64_t Session() const;
    // Lost and Restored keep the session: the same database, reached again.
    enum class ConnectionEvent { Attached, Detached, Lost, Restored };
    using ConnectionListener = std::function<void(ConnectionEvent event)>;
    // Told after each attach and detach, as long as the handle answered is kept.
    [[nodiscard]] std::shared_ptr<void> Listen(ConnectionListener listener);

private:
    bool TableExistsNow(std::string_view name);
    bool WriteTogetherNow(const std::function<bool()>& writes);
    void ReadTogetherNow(const std::function<void()>& reads);

    struct Impl;
    std::unique_ptr<Impl> impl_;
};
