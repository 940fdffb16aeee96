#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <utility>

// Every timed run is one iteration; the script asks for repetitions and reads their median.

// Peak resident memory in MiB of whatever the run measured.
using PeakReader = std::function<double()>;

// Runs `prepare` untimed, then times `work` and records the peak resident memory while it ran
// (counter "peak_MiB"): this process's, or what `peak` answers after the run.
void TimeEach(benchmark::State& state, const std::function<void()>& prepare,
              const std::function<void()>& work, const PeakReader& peak = {});

// Ends the run with `what` unless `ok`: a benchmark that did not do its whole work must give no
// figure at all.
void Require(bool ok, const char* what);

// Lets Qt finish what the work left queued (layouts, paints), as the event loop would right after.
void Settle();

// The longest, in ms, the event loop waited between two turns while `work` ran it.
double LongestStall(const std::function<void()>& work);
// Turns the event loop while `condition` holds.
void WaitWhile(const std::function<bool()>& condition);

// Ends the run at once, saying so, on SIGTERM, SIGINT or SIGHUP (held back from every thread before):
// Firebird's client library would otherwise take the signal, cut every connection of the process and
// let it run on, so that the next statement failed with "connection shutdown".
void EndOnTermination();

// Registers a benchmark that runs once per repetition and reports the time it measured itself.
template <typename Run>
benchmark::internal::Benchmark* Register(const char* name, Run&& run) {
    return benchmark::RegisterBenchmark(name, std::forward<Run>(run))
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}
