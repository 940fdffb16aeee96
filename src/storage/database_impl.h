#pragma once

#include <firebird/Interface.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "storage/connection_life.h"
#include "storage/database.h"
#include "storage/fetched_rows.h"
#include "storage/server_calls.h"
#include "storage/statement_run.h"
#include "storage/transaction_policy.h"

// What a Database is made of, and how its parts work together: the sources of Database only.
struct Database::Impl {
    explicit Impl(const ConnectionSettings& s);

    const ConnectionSettings& settings;
    Firebird::IMaster* master = Firebird::fb_get_master_interface();
    Firebird::IUtil* util = master->getUtilInterface();
    Firebird::IAttachment* attachment = nullptr;
    bool remote = false;          // attached through a server
    bool gone = false;            // a call of the operation under way found the connection gone
    bool leftUnderACall = false;  // dropped as a call was given up for its being left: not detached yet
    int depth = 0;                // public operations under way, one inside another
    ConnectionLife life;
    TransactionPolicy transactions;
    std::optional<FetchedRows> result;  // the open result of OpenSelect
    StatementTrace trace;
    WriteObserver writeObserver;
    std::function<bool(std::string_view table)> detailFor;
    ErrorHook errorHook;
    std::string lastError;
    // Last, so that it goes first: its thread, which ends the read transaction when the connection is
    // idle and reports what fails, is joined before anything it uses is gone.
    ServerCalls calls;

    // Each call may take `allowed`; a wait for another connection's lock ends well within that, as a
    // conflict rather than as a server that stopped answering.
    void Allow(std::chrono::milliseconds allowed);
    void Report(const char* operation, const Firebird::FbException& error);
    void Report(const char* operation, const char* message);
    void Trace(const std::string& text);
    // The settings keep the path in code-page bytes; Firebird is told it gets UTF-8 and turns it into
    // the database host's own file-system names, so a Japanese folder reaches any server, and the
    // embedded engine, as the same name.
    std::string FirebirdPath() const;

    // Runs one public operation on the connection's thread, so that the asking thread may go on with
    // its events while a call waits (for a lock, a slow disk, a server). On a server's connection its
    // calls are abandoned when they get no answer in time; a connection found gone meanwhile is
    // dropped and made again in the background.
    template <typename Operation>
    auto Guarded(Operation operation) {
        using Answer = decltype(operation());
        // While this thread waits for one of this connection's calls it goes on with its events; one
        // of them must not start another call on the same connection meanwhile.
        if (calls.WaitedOn()) {
            Report("Database", "a call is still waiting for the server");
            if constexpr (std::is_same_v<Answer, long long>) {
                return -1LL;
            } else {
                return Answer();
            }
        }
        const bool outermost = depth++ == 0;
        struct Scope {
            Impl& impl;
            ~Scope() {
                if (--impl.depth == 0 && impl.gone) {
                    impl.MarkLost();
                }
            }
        } scope{*this};
        if (!outermost || attachment == nullptr) {
            return operation();
        }
        return remote ? calls.Watched(attachment, operation) : calls.OnThread(operation);
    }

    // Makes the connection with `make`, which touches nothing of this object: through a server on a
    // thread of its own (see ServerCalls::Connect), which may take a while.
    AttachOutcome Connecting(std::function<AttachOutcome()> make) {
        return settings.serverPrefix.empty() ? make() : calls.Connect(std::move(make));
    }

    // A reading statement of the statement layer, in the read transaction.
    std::optional<FetchedRows> Read(const char* operation, const std::string& text, Keep keep) {
        return Guarded([&] { return ReadNow(operation, text, keep); });
    }
    std::optional<FetchedRows> ReadNow(const char* operation, const std::string& text, Keep keep);
    // The read transaction's statement; one that fails takes the transaction with it.
    std::optional<FetchedRows> ReadIn(const char* operation, const std::string& text, Keep keep);

    // Runs one writing statement and, outside a batch, commits it in a transaction of its own.
    // Answers the rows it changed when they were counted (0 when not), -1 when it failed.
    long long Write(const WriteStatement& write) {
        return Guarded([&] { return WriteNow(write); });
    }
    long long WriteNow(const WriteStatement& write);

    // CloseStatement: the open result is dropped and a write's transaction rolled back.
    void CloseStatement();

    // The connection was found gone: its handles are let go and it is made again in the background,
    // unless it is being left.
    void MarkLost();
    void Attach(Firebird::IAttachment* made);
    // Leaves the database; true when there was one to leave. The listeners are not told yet.
    bool DetachQuietly();
};
