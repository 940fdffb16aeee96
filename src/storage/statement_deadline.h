#pragma once

#include <firebird/Interface.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Abandons a call on a server's connection that gets no answer in time (a server that stopped
// responding, a network that drops every packet): its network connection is closed under it, so the
// call returns with a network error instead of waiting for the system's TCP time-out. Each call has
// the time allowed of its own, however many calls a piece of work makes.
class StatementDeadline {
public:
    explicit StatementDeadline(Firebird::IMaster* master);
    ~StatementDeadline();
    StatementDeadline(const StatementDeadline&) = delete;
    StatementDeadline& operator=(const StatementDeadline&) = delete;

    // From now on, until Disarm, `attachment` has `allowed` to answer each call; the time runs from
    // now, from the start of each call and from its end (see Timing).
    void Arm(Firebird::IAttachment* attachment, std::chrono::milliseconds allowed);
    void Disarm();
    // The call under way is given up now, as when its time has run out.
    void Expire();

    // While it lives, the calls made on this thread are timed by `deadline`.
    class Timing {
    public:
        explicit Timing(StatementDeadline& deadline);
        ~Timing();
        Timing(const Timing&) = delete;
        Timing& operator=(const Timing&) = delete;

    private:
        StatementDeadline* outer_;
    };
    // A call of this thread starts or has ended: the time allowed runs from now. Does nothing where no
    // deadline times this thread's calls.
    static void CallBoundary();

private:
    void Renew();
    void Watch();

    Firebird::IMaster* master_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Firebird::IAttachment* attachment_ = nullptr;
    std::chrono::milliseconds allowed_{0};
    std::chrono::steady_clock::time_point deadline_;
    bool expired_ = false;
    bool stopping_ = false;
    std::thread watcher_;
    static thread_local StatementDeadline* timing_;
};
