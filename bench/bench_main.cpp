#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "bench_support.h"
#include "platform/session_signals.h"
#include "storage/firebird_lock_folder.h"

// The in-process benchmarks drive widgets without a screen; the programs the start-up benchmark
// launches get the real display.
int main(int argc, char** argv) {
    HoldSessionSignals();  // before any thread exists, as the program does
    EndOnTermination();
    UseOwnFirebirdLockFolder();
    // The thumbnails the file list makes go to a cache of the run's own.
    const QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    int qtArgc = 3;
    char platformOption[] = "-platform";
    char platform[] = "offscreen";
    char* qtArgv[] = {argv[0], platformOption, platform, nullptr};
    QApplication application(qtArgc, qtArgv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
