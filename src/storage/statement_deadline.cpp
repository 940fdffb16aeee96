#include "storage/statement_deadline.h"

using namespace Firebird;

StatementDeadline::StatementDeadline(IMaster* master) : master_(master), watcher_([this] { Watch(); }) {}

StatementDeadline::~StatementDeadline() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    watcher_.join();
}

void StatementDeadline::Arm(IAttachment* attachment, std::chrono::milliseconds allowed) {
    {
        std::lock_guard lock(mutex_);
        attachment_ = attachment;
        deadline_ = std::chrono::steady_clock::now() + allowed;
    }
    changed_.notify_all();
}

void StatementDeadline::Disarm() {
    std::lock_guard lock(mutex_);
    attachment_ = nullptr;
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
            attachment_ = nullptr;
        }
    }
}
