#include "backup/background_work.h"

BackgroundWork::BackgroundWork(QObject* parent) : QObject(parent) {}

BackgroundWork::~BackgroundWork() {
    Stop();
}

bool BackgroundWork::Start(Work work) {
    if (Busy()) {
        return false;
    }
    cancel_ = false;
    const unsigned run = ++run_;
    thread_ = std::thread([this, run, work = std::move(work)] {
        Done done = work(cancel_);
        QMetaObject::invokeMethod(
            this, [this, run, done = std::move(done)] { Finish(run, done); }, Qt::QueuedConnection);
    });
    return true;
}

void BackgroundWork::Stop() {
    cancel_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

void BackgroundWork::Finish(unsigned run, const Done& done) {
    // Work stopped meanwhile has been waited for already, and its answer is dropped.
    if (run != run_ || !thread_.joinable()) {
        return;
    }
    thread_.join();
    if (done) {
        done();
    }
}
