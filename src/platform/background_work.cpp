#include "platform/background_work.h"

#include <QTimer>
#include <condition_variable>
#include <mutex>

#include "storage/database.h"

namespace {

// How long a stop waits for the work: the program ends within two seconds whatever it does.
constexpr std::chrono::milliseconds kStopWait{1000};
constexpr int kWaitingRetryMs = 100;

}  // namespace

// Where the work's thread posts to the object, which may be gone before the work ends.
struct BackgroundWork::Mailbox {
    std::mutex mutex;
    BackgroundWork* owner = nullptr;  // none once the work was stopped

    // Runs `step` on the owner's thread, holding the owner until it is posted.
    void Post(std::function<void()> step) {
        std::lock_guard lock(mutex);
        if (owner != nullptr) {
            QMetaObject::invokeMethod(owner, std::move(step), Qt::QueuedConnection);
        }
    }
};

// One piece of work, shared by its thread and the object.
struct BackgroundWork::Run {
    CancelFlag cancel{false};
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
};

BackgroundWork::BackgroundWork(QObject* parent) : QObject(parent) {
    OpenMailbox();
}

BackgroundWork::~BackgroundWork() {
    Stop();
}

void BackgroundWork::OpenMailbox() {
    mailbox_ = std::make_shared<Mailbox>();
    mailbox_->owner = this;
}

bool BackgroundWork::Start(Work work) {
    if (Busy()) {
        return false;
    }
    run_ = std::make_shared<Run>();
    thread_ = std::thread([this, run = run_, mailbox = mailbox_, work = std::move(work)] {
        Done done = work(run->cancel);
        mailbox->Post([this, run, done = std::move(done)] { Finish(run, done); });
        std::lock_guard lock(run->mutex);
        run->finished = true;
        run->ended.notify_all();
    });
    return true;
}

void BackgroundWork::Cancel() {
    if (run_) {
        run_->cancel = true;
    }
}

void BackgroundWork::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    run_->cancel = true;
    {
        // What it answers or tells is not done.
        std::lock_guard lock(mailbox_->mutex);
        mailbox_->owner = nullptr;
    }
    OpenMailbox();
    std::unique_lock lock(run_->mutex);
    if (run_->ended.wait_for(lock, kStopWait, [&] { return run_->finished; })) {
        lock.unlock();
        thread_.join();
    } else {
        lock.unlock();
        thread_.detach();
    }
    run_.reset();
}

BackgroundWork::Tell BackgroundWork::Teller() const {
    return [mailbox = mailbox_](std::function<void()> step) { mailbox->Post(std::move(step)); };
}

void BackgroundWork::Finish(const std::shared_ptr<Run>& run, const Done& done) {
    // Work stopped meanwhile has been let go already, and its answer is dropped.
    if (run != run_ || !thread_.joinable()) {
        return;
    }
    // Like every step of the program's own accord, not while a command waits for the server: the
    // answer may ask a question, or attach another database.
    if (Database::Waiting()) {
        QTimer::singleShot(kWaitingRetryMs, this, [this, run, done] { Finish(run, done); });
        return;
    }
    thread_.join();
    run_.reset();
    if (done) {
        done();
    }
}
