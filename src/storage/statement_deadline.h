#pragma once

#include <firebird/Interface.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Abandons a call on a server's connection that gets no answer in time (a server that stopped
// responding, a network that drops every packet): its network connection is closed under it, so the
// call returns with a network error instead of waiting for the system's TCP time-out.
class StatementDeadline {
public:
    explicit StatementDeadline(Firebird::IMaster* master);
    ~StatementDeadline();
    StatementDeadline(const StatementDeadline&) = delete;
    StatementDeadline& operator=(const StatementDeadline&) = delete;

    // From now on, `attachment`'s calls have `allowed` to finish; until Disarm.
    void Arm(Firebird::IAttachment* attachment, std::chrono::milliseconds allowed);
    void Disarm();
    // The call under way is given up now, as when its time has run out.
    void Expire();

private:
    void Watch();

    Firebird::IMaster* master_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Firebird::IAttachment* attachment_ = nullptr;
    std::chrono::steady_clock::time_point deadline_;
    bool stopping_ = false;
    std::thread watcher_;
};
