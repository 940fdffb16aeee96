#include "support/sleeping_share.h"

SleepingShare::SleepingShare(std::string mounted, std::chrono::milliseconds noAnswer)
    : looks_(
          [sleep = sleep_, mounted = std::move(mounted)](const std::string& path, LookFor lookFor) {
              if (path.rfind(mounted, 0) == 0) {
                  std::unique_lock<std::mutex> held(sleep->lock);
                  sleep->awake.wait(held, [&] { return sleep->woken; });
              }
              return LookAtFile(path, lookFor);
          },
          noAnswer) {}

// The threads still waiting go on to look and are heard by no one.
SleepingShare::~SleepingShare() {
    Wake();
}

void SleepingShare::Wake() {
    const std::lock_guard<std::mutex> held(sleep_->lock);
    sleep_->woken = true;
    sleep_->awake.notify_all();
}
