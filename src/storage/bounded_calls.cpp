#include "storage/bounded_calls.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <string>

namespace {

// How soon a cancel is seen while a call runs.
constexpr std::chrono::milliseconds kCancelLook{50};

}  // namespace

struct BoundedCalls::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::function<void()> call;
    bool asked = false;
    bool done = false;
    bool stopping = false;
};

BoundedCalls::BoundedCalls() : shared_(std::make_shared<Shared>()) {
    thread_ = std::thread([shared = shared_] {
        std::unique_lock lock(shared->mutex);
        for (;;) {
            shared->changed.wait(lock, [&] { return shared->asked || shared->stopping; });
            if (!shared->asked) {
                return;
            }
            std::function<void()> call = std::move(shared->call);
            shared->asked = false;
            lock.unlock();
            call();
            call = nullptr;  // what it captured goes here, on the thread that used it
            lock.lock();
            shared->done = true;
            shared->changed.notify_all();
        }
    });
}

BoundedCalls::~BoundedCalls() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->changed.notify_all();
    if (givenUp_) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

BoundedCalls::Outcome BoundedCalls::Run(std::function<void()> call, std::chrono::milliseconds allowed,
                                        const std::atomic<bool>& cancel) {
    if (givenUp_) {
        return Outcome::TimedOut;
    }
    const auto deadline = std::chrono::steady_clock::now() + allowed;
    std::unique_lock lock(shared_->mutex);
    shared_->call = std::move(call);
    shared_->asked = true;
    shared_->done = false;
    shared_->changed.notify_all();
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        const auto look = std::min<std::chrono::steady_clock::duration>(kCancelLook, deadline - now);
        if (shared_->changed.wait_for(lock, look, [&] { return shared_->done; })) {
            return Outcome::Returned;
        }
        if (cancel || std::chrono::steady_clock::now() >= deadline) {
            givenUp_ = true;
            return cancel ? Outcome::Cancelled : Outcome::TimedOut;
        }
    }
}

void BoundedCalls::Call(std::function<void()> call, std::chrono::milliseconds allowed,
                        const std::atomic<bool>& cancel) {
    // Held by the call too: a call given up still writes into it when it returns.
    const auto failure = std::make_shared<std::exception_ptr>();
    const Outcome outcome = Run(
        [failure, call = std::move(call)] {
            try {
                call();
            } catch (...) {
                *failure = std::current_exception();
            }
        },
        allowed, cancel);
    if (outcome == Outcome::Cancelled) {
        throw std::runtime_error("cancelled");
    }
    if (outcome == Outcome::TimedOut) {
        throw std::runtime_error(
            "no answer from the server within " +
            std::to_string(std::chrono::duration_cast<std::chrono::seconds>(allowed).count()) + " seconds");
    }
    if (*failure) {
        std::rethrow_exception(*failure);
    }
}
