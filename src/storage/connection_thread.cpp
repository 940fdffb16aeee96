#include "storage/connection_thread.h"

#include <chrono>

namespace {

// Most calls answer within this; only a longer wait lets the asking thread do anything else.
constexpr std::chrono::milliseconds kPlainWait{30};
constexpr std::chrono::milliseconds kWaitStep{15};

}  // namespace

ConnectionThread::ConnectionThread() : thread_([this] { Work(); }) {}

ConnectionThread::~ConnectionThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ConnectionThread::Run(const std::function<void()>& task, const Waiter& waiter) {
    std::unique_lock lock(mutex_);
    task_ = &task;
    done_ = false;
    changed_.notify_all();
    if (!changed_.wait_for(lock, kPlainWait, [this] { return done_; })) {
        if (waiter) {
            lock.unlock();
            waiter([this] {
                std::unique_lock waiting(mutex_);
                return changed_.wait_for(waiting, kWaitStep, [this] { return done_; });
            });
            lock.lock();
        }
        changed_.wait(lock, [this] { return done_; });
    }
}

void ConnectionThread::SetIdleTask(std::function<void()> idle, std::chrono::milliseconds after) {
    std::lock_guard lock(mutex_);
    idle_ = std::move(idle);
    idleAfter_ = after;
}

void ConnectionThread::Work() {
    std::unique_lock lock(mutex_);
    const auto asked = [this] { return stopping_ || task_ != nullptr; };
    for (;;) {
        if (idleDue_ && idle_) {
            if (!changed_.wait_for(lock, idleAfter_, asked)) {
                idleDue_ = false;
                const std::function<void()> idle = idle_;
                lock.unlock();
                idle();
                lock.lock();
                continue;
            }
        } else {
            changed_.wait(lock, asked);
        }
        if (task_ == nullptr) {
            return;
        }
        const std::function<void()>* task = task_;
        lock.unlock();
        (*task)();
        lock.lock();
        task_ = nullptr;
        done_ = true;
        idleDue_ = true;
        changed_.notify_all();
    }
}
