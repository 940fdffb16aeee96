#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

// A thread for calls that may never return: a server that stopped answering keeps a call to it
// waiting for the system's TCP time-out (hours), and no Firebird call lets another thread end a
// service's wait. The asking thread waits for each call until it returns, its time has passed or
// `cancel` is set. A call given up is left to finish alone: the thread holds on to what the call
// captured, and the object never waits for it again (not even when it goes).
class BoundedCalls {
public:
    enum class Outcome { Returned, TimedOut, Cancelled };

    BoundedCalls();
    // Waits only for a thread that is idle; one busy with a call given up is let go.
    ~BoundedCalls();
    BoundedCalls(const BoundedCalls&) = delete;
    BoundedCalls& operator=(const BoundedCalls&) = delete;

    // Runs `call` on the thread. Once a call has been given up, every later one is too, at once.
    Outcome Run(std::function<void()> call, std::chrono::milliseconds allowed,
                const std::atomic<bool>& cancel);
    // Runs `call` as Run does; what it throws is thrown here, and a call given up throws
    // std::runtime_error ("cancelled", or that the server did not answer in time).
    void Call(std::function<void()> call, std::chrono::milliseconds allowed, const std::atomic<bool>& cancel);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    bool givenUp_ = false;
};
