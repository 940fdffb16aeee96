#include "storage/statement_deadline.h"

#include <utility>

using namespace Firebird;

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
        deadline_ = std::chrono::steady_clock::now() + allowed;
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
        deadline_ = std::chrono::steady_clock::now();
    }
    changed_.notify_all();
}

void StatementDeadline::Watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (attachment_ == nullptr) {
            changed_.wait(lock);
            continue;
        }
        if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && attachment_ != nullptr &&
            std::chrono::steady_clock::now() >= deadline_) {
            // Firebird's asynchronous cancel: the connection is closed under the waiting call.
            CheckStatusWrapper status(master_->getStatus());
            attachment_->cancelOperation(&status, fb_cancel_abort);
            status.dispose();
            std::exchange(attachment_, nullptr)->release();
        }
    }
}
