#pragma once

#include <firebird/Interface.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include "storage/connection_thread.h"
#include "storage/firebird_attach.h"
#include "storage/statement_deadline.h"

// How a connection makes its calls: on a thread of its own, so that the thread that asked may go on
// painting its windows meanwhile (a lock another connection holds, a slow disk, a slow network), and,
// for a server's, under a deadline, so that a server that stopped answering is given up instead of
// waited for. Firebird's own types: only for the storage layer's sources.
class ServerCalls {
public:
    explicit ServerCalls(Firebird::IMaster* master);
    ~ServerCalls();
    ServerCalls(const ServerCalls&) = delete;
    ServerCalls& operator=(const ServerCalls&) = delete;

    void SetAllowed(std::chrono::milliseconds allowed) { allowed_ = allowed; }
    void SetWaiter(ConnectionThread::Waiter waiter) { waiter_ = std::move(waiter); }
    // What the thread does once the connection has been idle for `after`.
    void SetIdleTask(std::function<void()> idle, std::chrono::milliseconds after);

    // This thread waits for a call of some connection, or of this one.
    static bool Waiting() { return waiting_ != nullptr; }
    bool WaitedOn() const { return waiting_ == this; }
    // The call this thread waits for is given up now.
    static void AbandonWaiting();
    // The call under way is given up now, whichever thread made it, and none is made again: the
    // connection is being left. May be called from any thread.
    void Interrupt();
    bool Leaving() const { return leaving_; }

    // Runs `operation`, whose calls go to `attachment`, on the connection's thread, each of its calls
    // (made with a CallStatus) under the deadline.
    template <typename Operation>
    auto Watched(Firebird::IAttachment* attachment, Operation operation) {
        const Armed armed{Arm(attachment)};
        return OnThread([&] {
            const StatementDeadline::Timing timing(armed.deadline);
            return operation();
        });
    }

    // Runs `operation` on the connection's thread while this one waits.
    template <typename Operation>
    auto OnThread(Operation operation) {
        MakeThread();
        ServerCalls* const outer = std::exchange(waiting_, this);
        struct Restore {
            ServerCalls* outer;
            ~Restore() { waiting_ = outer; }
        } restore{outer};
        using Answer = decltype(operation());
        if constexpr (std::is_void_v<Answer>) {
            thread_->Run(operation, waiter_);
        } else {
            std::optional<Answer> answer;
            thread_->Run([&] { answer.emplace(operation()); }, waiter_);
            return std::move(*answer);
        }
    }

    // Makes the connection with `make` on a thread of its own while this one waits as for a call:
    // given up after the time a call may take, or at once when the connection is being left.
    AttachOutcome Connect(std::function<AttachOutcome()> make);

    // Runs `task` on the connection's thread when it has one, here otherwise; nobody waits painting.
    // With an attachment, its calls to it are under the deadline, as Watched's are.
    void Quietly(const std::function<void()>& task, Firebird::IAttachment* attachment = nullptr);

private:
    // Arms the deadline for the calls to an attachment; Armed disarms it when it goes.
    StatementDeadline& Arm(Firebird::IAttachment* attachment);
    struct Armed {
        StatementDeadline& deadline;
        ~Armed() { deadline.Disarm(); }
    };
    void MakeThread();
    StatementDeadline& Deadline();

    Firebird::IMaster* master_;
    std::chrono::milliseconds allowed_{0};
    ConnectionThread::Waiter waiter_;
    std::function<void()> idle_;
    std::chrono::milliseconds idleAfter_{0};
    std::unique_ptr<StatementDeadline> deadline_;
    std::atomic<StatementDeadline*> deadlineForOthers_{nullptr};  // the same, for other threads
    std::atomic<bool> leaving_{false};
    std::unique_ptr<ConnectionThread> thread_;  // made with the first call
    // The connection whose call this thread waits for, if any.
    static thread_local ServerCalls* waiting_;
};
