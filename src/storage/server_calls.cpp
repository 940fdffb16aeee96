#include "storage/server_calls.h"

thread_local ServerCalls* ServerCalls::waiting_ = nullptr;

ServerCalls::ServerCalls(Firebird::IMaster* master) : master_(master) {}

ServerCalls::~ServerCalls() = default;

void ServerCalls::SetIdleTask(std::function<void()> idle, std::chrono::milliseconds after) {
    idle_ = std::move(idle);
    idleAfter_ = after;
}

void ServerCalls::AbandonWaiting() {
    if (waiting_ != nullptr) {
        waiting_->Interrupt();
    }
}

void ServerCalls::Interrupt() {
    leaving_ = true;
    if (StatementDeadline* const watching = deadlineForOthers_.load()) {
        watching->Expire();
    }
}

void ServerCalls::Quietly(const std::function<void()>& task) {
    if (thread_) {
        thread_->Run(task, {});
    } else {
        task();
    }
}

void ServerCalls::MakeThread() {
    if (!thread_) {
        thread_ = std::make_unique<ConnectionThread>();
        thread_->SetIdleTask(idle_, idleAfter_);
    }
}

StatementDeadline& ServerCalls::Deadline() {
    if (!deadline_) {
        deadline_ = std::make_unique<StatementDeadline>(master_);
        deadlineForOthers_ = deadline_.get();
    }
    return *deadline_;
}
