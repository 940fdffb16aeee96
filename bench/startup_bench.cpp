// Start-up measured from outside, as a user waits for it: from launching the program to its main
// window shown on the X display, the whole process. Beside it a bare Qt window program started the
// same way that attaches the same database. Both are launched from a folder of their own holding the settings
// file, the pictures and an embedded database of 1,000 groups.

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <string>
#include <vector>

#include "bench_data.h"
#include "bench_support.h"
#include "window_search.h"

extern char** environ;

namespace {

const std::string kCaption = "Qartoグループ管理";

// This process's environment without its choice of Qt platform, so the program shows on the display.
std::vector<char*> ProgramEnvironment() {
    std::vector<char*> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::string(*entry).rfind("QT_QPA_PLATFORM=", 0) != 0) {
            environment.push_back(*entry);
        }
    }
    environment.push_back(nullptr);
    return environment;
}

// The program copied from beside this benchmark into the group folder, so that it finds its
// settings file and pictures there.
QString Installed(const BenchFolder& folder, const QString& name) {
    const QString target = folder.FilePath(name);
    QFile::remove(target);
    QFile::copy(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name, target);
    return target;
}

// Closes a launched program's window and answers the program's peak resident memory in MiB. One
// that does not end by itself soon is killed.
double Stop(WindowSearch& search, pid_t pid, unsigned long window) {
    if (window != 0) {
        search.Close(window);
    }
    int status = 0;
    rusage usage{};
    for (int wait = 0; wait < 1000; ++wait) {
        if (wait4(pid, &status, WNOHANG, &usage) == pid) {
            return usage.ru_maxrss / 1024.0;
        }
        usleep(10000);
    }
    kill(pid, SIGKILL);
    wait4(pid, &status, 0, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The X server gets a moment to see the last program off before the next one connects.
void Pause() {
    usleep(200000);
}

// The floor is given the program's database to attach; the program finds it in its settings file.
void StartUp(benchmark::State& state, const char* programName, bool databaseArgument) {
    WindowSearch search;
    Require(search.Connected(), "needs an X display (DISPLAY)");
    const BenchFolder& folder = FolderWithGroups(static_cast<int>(state.range(0)));
    const std::string program = Installed(folder, QLatin1String(programName)).toStdString();
    std::vector<char*> environment = ProgramEnvironment();
    std::string database = folder.DatabasePath();
    char* arguments[] = {const_cast<char*>(program.c_str()), databaseArgument ? database.data() : nullptr,
                         nullptr};
    pid_t pid = 0;
    unsigned long window = 0;
    bool shown = true;
    const auto launch = [&] {
        posix_spawn(&pid, program.c_str(), nullptr, nullptr, arguments, environment.data());
        window = search.WaitForWindow(pid, kCaption, std::chrono::seconds(60));
        shown = shown && window != 0;
    };
    const auto stop = [&] { return Stop(search, pid, window); };
    launch();  // the first start reads the files from disk; the user's every start after it does not
    stop();
    TimeEach(state, Pause, launch, stop);
    Require(shown, "the window did not show");
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    Register("StartUp", [](benchmark::State& s) { StartUp(s, "qarto-groups", false); })->Arg(1000),
    Register("StartUpFloor", [](benchmark::State& s) { StartUp(s, "bare_window", true); })->Arg(1000),
};

}  // namespace
