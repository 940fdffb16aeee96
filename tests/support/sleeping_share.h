#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "platform/file_looks.h"

// A share that does not answer: the looks at paths below `mounted` wait until it wakes (at the end of
// the test at the latest); every other path is looked at on disk. Its file looks tell a root that
// has waited `noAnswer` as not answering.
class SleepingShare {
public:
    SleepingShare(std::string mounted, std::chrono::milliseconds noAnswer);
    ~SleepingShare();
    SleepingShare(const SleepingShare&) = delete;
    SleepingShare& operator=(const SleepingShare&) = delete;

    FileLooks& Looks() { return looks_; }
    void Wake();

private:
    struct Sleep {
        std::mutex lock;
        std::condition_variable awake;
        bool woken = false;
    };
    std::shared_ptr<Sleep> sleep_ = std::make_shared<Sleep>();
    FileLooks looks_;
};
