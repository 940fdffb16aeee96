#include "storage/statement_deadline.h"

#include <utility>

using namespace Firebird;

thread_local StatementDeadline* StatementDeadline::timing_ = nullptr;

StatementDeadline::StatementDeadline(IMaster* master) : master_(master), watcher_([this] { Watch(); }) {}

StatementDeadline::~StatementDeadline() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    watcher_.join();
    if (attachment_ != nullptr) {
        attachment_->release();
    }
}

void StatementDeadline::Arm(IAttachment* attachment, std::chrono::milliseconds allowed) {
    // Held until disarmed: a call may detach and let the connection go before the deadline is
    // disarmed, and a cancel then must still reach a live object.
    attachment->addRef();
    IAttachment* previous = nullptr;
    {
        std::lock_guard lock(mutex_);
        previous = std::exchange(attachment_, attachment);
        allowed_ = allowed;
        deadline_ = std::chrono::steady_clock::now() + allowed;
        expired_ = false;
    }
    if (previous != nullptr) {
        previous->release();
    }
    changed_.notify_all();
}

void StatementDeadline::Disarm() {
    IAttachment* held = nullptr;
    {
        std::lock_guard lock(mutex_);
        held = std::exchange(attachment_, nullptr);
    }
    if (held != nullptr) {
        held->release();
    }
}

void StatementDeadline::Expire() {
    {
        std::lock_guard lock(mutex_);
        expired_ = true;
    }
    changed_.notify_all();
}

StatementDeadline::Timing::Timing(StatementDeadline& deadline) : outer_(std::exchange(timing_, &deadline)) {}

StatementDeadline::Timing::~Timing() {
    timing_ = outer_;
}

void StatementDeadline::CallBoundary() {
    if (timing_ != nullptr) {
        timing_->Renew();
    }
}

void StatementDeadline::Renew() {
    // Only ever later: the watcher, woken at the earlier time, simply waits on. No wake-up per call.
    std::lock_guard lock(mutex_);
    if (attachment_ != nullptr) {
        deadline_ = std::chrono::steady_clock::now() + allowed_;
    }
}

void StatementDeadline::Watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (attachment_ == nullptr) {
            changed_.wait(lock);
        } else if (!expired_ && std::chrono::steady_clock::now() < deadline_) {
            changed_.wait_until(lock, deadline_);
        } else {
            // Firebird's asynchronous cancel: the connection is closed under the waiting call.
            CheckStatusWrapper status(master_->getStatus());
            attachment_->cancelOperation(&status, fb_cancel_abort);
            status.dispose();
            std::exchange(attachment_, nullptr)->release();
        }
    }
}
