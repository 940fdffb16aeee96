#include "storage/connection_making.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

using namespace Firebird;

namespace {

// Most attaches answer within this; only a longer one lets the asking thread do anything else.
constexpr std::chrono::milliseconds kPlainWait{30};
constexpr std::chrono::milliseconds kWaitStep{15};

struct Making {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    bool abandoned = false;
    AttachOutcome made;
};

std::atomic<int> beingMade{0};

void LetGo(IAttachment* attachment) {
    if (attachment == nullptr) {
        return;
    }
    ThrowStatusWrapper status(fb_get_master_interface()->getStatus());
    try {
        attachment->detach(&status);
    } catch (const FbException&) {
        attachment->release();
    }
    status.dispose();
}

}  // namespace

AttachOutcome MakeConnection(std::function<AttachOutcome()> make, std::chrono::milliseconds allowed,
                             const ConnectionThread::Waiter& waiter, const std::function<bool()>& givenUp) {
    if (givenUp()) {
        return AttachOutcome{nullptr, "the connection is being left", FailureKind::Other, {}};
    }
    const auto making = std::make_shared<Making>();
    std::thread([making, make = std::move(make)] {
        const ConnectionBeingMade counted;
        AttachOutcome made = make();
        std::unique_lock lock(making->mutex);
        if (making->abandoned) {
            lock.unlock();
            LetGo(made.attachment);
            return;
        }
        making->made = std::move(made);
        making->done = true;
        making->changed.notify_all();
    }).detach();

    const auto deadline = std::chrono::steady_clock::now() + allowed;
    const auto waitFor = [&](std::chrono::milliseconds step) {
        std::unique_lock lock(making->mutex);
        return making->changed.wait_for(lock, step, [&] { return making->done; }) || givenUp() ||
               std::chrono::steady_clock::now() >= deadline;
    };
    if (!waitFor(kPlainWait)) {
        const auto waitABit = [&] { return waitFor(kWaitStep); };
        if (waiter) {
            waiter(waitABit);
        } else {
            while (!waitABit()) {
            }
        }
    }
    std::lock_guard lock(making->mutex);
    if (making->done) {
        return std::move(making->made);
    }
    making->abandoned = true;
    return AttachOutcome{
        nullptr,
        givenUp() ? "given up: the connection is being left"
                  : "no answer from the server within " +
                        std::to_string(std::chrono::duration_cast<std::chrono::seconds>(allowed).count()) +
                        " seconds",
        FailureKind::Unreachable,
        {}};
}

int ConnectionsBeingMade() {
    return beingMade;
}

ConnectionBeingMade::ConnectionBeingMade() {
    ++beingMade;
}

ConnectionBeingMade::~ConnectionBeingMade() {
    --beingMade;
}
