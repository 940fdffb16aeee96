#include "storage/server_calls.h"

#include <optional>
#include <utility>

#include "storage/connection_making.h"

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

AttachOutcome ServerCalls::Connect(std::function<AttachOutcome()> make) {
    ServerCalls* const outer = std::exchange(waiting_, this);
    struct Restore {
        ServerCalls* outer;
        ~Restore() { waiting_ = outer; }
    } restore{outer};
    return MakeConnection(std::move(make), allowed_, waiter_, [this] { return leaving_.load(); });
}

void ServerCalls::Quietly(const std::function<void()>& task, Firebird::IAttachment* attachment) {
    std::optional<Armed> armed;
    if (attachment != nullptr) {
        armed.emplace(Arm(attachment));
    }
    const auto timed = [&] {
        std::optional<StatementDeadline::Timing> timing;
        if (armed) {
            timing.emplace(armed->deadline);
        }
        task();
    };
    if (thread_) {
        thread_->Run(timed, {});
    } else {
        timed();
    }
}

StatementDeadline& ServerCalls::Arm(Firebird::IAttachment* attachment) {
    StatementDeadline& deadline = Deadline();
    deadline.Arm(attachment, allowed_);
    if (leaving_) {
        deadline.Expire();  // a give-up that came between two calls holds for the next one too
    }
    return deadline;
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
