#include "support/another_desktop.h"

#include <chrono>
#include <future>
#include <thread>

bool WhileAnotherDesktopWrites(const ConnectionSettings& settings,
                               const std::function<bool(Database&)>& write,
                               const std::function<void()>& meanwhile) {
    std::promise<void> writing;
    std::promise<void> done;
    bool uncommittedToTheEnd = false;
    std::thread otherDesktop([&] {
        Database other(settings);
        other.ConnectDatabase();
        bool told = false;
        other.WriteTogether([&] {
            const bool written = write(other);
            writing.set_value();
            told = true;
            uncommittedToTheEnd =
                done.get_future().wait_for(std::chrono::minutes(1)) == std::future_status::ready;
            return written;
        });
        if (!told) {
            writing.set_value();  // it could not even begin: `meanwhile` runs all the same
        }
    });
    writing.get_future().wait();
    meanwhile();
    done.set_value();
    otherDesktop.join();
    return uncommittedToTheEnd;
}
