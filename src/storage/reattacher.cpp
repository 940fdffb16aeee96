#include "storage/reattacher.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include "storage/connection_making.h"
#include "storage/firebird_attach.h"

using namespace Firebird;

namespace {

constexpr std::chrono::milliseconds kFirstPause{250};
constexpr std::chrono::milliseconds kLongestPause{2000};

}  // namespace

struct Reattacher::State {
    IMaster* master;
    std::string path;
    std::mutex mutex;
    std::condition_variable wake;
    bool dropped = false;
    IAttachment* made = nullptr;

    void Run() {
        const ConnectionBeingMade counted;
        std::chrono::milliseconds pause = kFirstPause;
        std::unique_lock lock(mutex);
        while (!wake.wait_for(lock, pause, [this] { return dropped; })) {
            lock.unlock();
            IAttachment* attachment = AttachDatabase(master, path).attachment;
            lock.lock();
            if (attachment != nullptr) {
                if (dropped) {
                    Drop(attachment);
                } else {
                    made = attachment;
                }
                return;
            }
            pause = std::min(pause * 2, kLongestPause);
        }
    }

    void Drop(IAttachment* attachment) {
        ThrowStatusWrapper status(master->getStatus());
        try {
            attachment->detach(&status);
        } catch (const FbException&) {
            attachment->release();
        }
        status.dispose();
    }
};

Reattacher::Reattacher(IMaster* master, std::string path)
    : state_(std::make_shared<State>(master, std::move(path))) {
    std::thread([state = state_] { state->Run(); }).detach();
}

Reattacher::~Reattacher() {
    std::lock_guard lock(state_->mutex);
    state_->dropped = true;
    if (state_->made != nullptr) {
        state_->Drop(std::exchange(state_->made, nullptr));
    }
    state_->wake.notify_all();
}

IAttachment* Reattacher::Take() {
    std::lock_guard lock(state_->mutex);
    return std::exchange(state_->made, nullptr);
}
