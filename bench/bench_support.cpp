#include "bench_support.h"

#include <malloc.h>
#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "bench_link.h"

namespace {

// Starts the peak anew from what the process holds now; what earlier runs freed is handed back to
// the system first, so it does not count against the next run.
void ResetPeakMemory() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

double PeakMemoryMiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kibibytes = 0;
            status >> kibibytes;
            return kibibytes / 1024.0;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

}  // namespace

void TimeEach(benchmark::State& state, const std::function<void()>& prepare,
              const std::function<void()>& work, const PeakReader& peak) {
    for (auto _ : state) {
        if (prepare) {
            prepare();
        }
        ResetPeakMemory();
        const long long roundTrips = LinkRoundTrips();
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        state.counters["peak_MiB"] = peak ? peak() : PeakMemoryMiB();
        if (OverLink()) {
            state.counters["round_trips"] = static_cast<double>(LinkRoundTrips() - roundTrips);
        }
    }
}

void Require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "benchmark failed: %s\n", what);
        std::exit(2);
    }
}

void Settle() {
    for (int pass = 0; pass < 2; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

double LongestStall(const std::function<void()>& work) {
    QElapsedTimer sinceTurn;
    double longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longest = std::max(longest, static_cast<double>(sinceTurn.restart())); });
    sinceTurn.start();
    ticker.start();
    work();
    longest = std::max(longest, static_cast<double>(sinceTurn.elapsed()));
    return longest;
}

void WaitWhile(const std::function<bool()>& condition) {
    while (condition()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void EndOnTermination() {
    std::thread([] {
        sigset_t ending;
        sigemptyset(&ending);
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            sigaddset(&ending, signal);
        }
        int received = 0;
        sigwait(&ending, &received);
        std::fprintf(stderr, "benchmark ended by signal %d\n", received);
        std::_Exit(128 + received);
    }).detach();
}
