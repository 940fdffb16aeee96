#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The thread a server's connection makes its calls on, so that the thread that asked may go on
// painting its windows while the network is slow. One task at a time; the asking thread waits for it.
class ConnectionThread {
public:
    // `waitABit` blocks a little and answers whether the task has finished.
    using Waiter = std::function<void(const std::function<bool()>& waitABit)>;

    ConnectionThread();
    ~ConnectionThread();
    ConnectionThread(const ConnectionThread&) = delete;
    ConnectionThread& operator=(const ConnectionThread&) = delete;

    // Runs `task` on the thread and returns once it has finished. A task that finishes at once is
    // simply waited for; a longer one through `waiter`, when there is one.
    void Run(const std::function<void()>& task, const Waiter& waiter);
    // Runs `idle` on the thread once, when no task has come for `after` since the last one.
    void SetIdleTask(std::function<void()> idle, std::chrono::milliseconds after);

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable changed_;
    const std::function<void()>* task_ = nullptr;
    bool done_ = false;
    bool stopping_ = false;
    std::function<void()> idle_;
    std::chrono::milliseconds idleAfter_{0};
    bool idleDue_ = false;  // a task has run since the idle task last ran
    std::thread thread_;
};
