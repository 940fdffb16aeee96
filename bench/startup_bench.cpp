// Start-up measured from outside, as a user waits for it: from launching the program to its main
// window shown on the X display, the whole process. Beside it a bare Qt window program started the
// same way that attaches the same database, and the program's board rebuild of the same groups, the
// floor's other part. Both programs are launched from a folder of their own holding the settings
// file, the pictures and an embedded database of 1,000 groups.
//
// Both note their steps on the clock (common/startup_steps.h), and the times between them are
// reported as counters, the split of the start-up: "exec_ms" from the launch to main() (loading the
// libraries), "toolkit_ms" Qt's set-up, "windows_ms" the program's board and the windows it needs
// from the start made, "settings_ms" the settings file read as the board's showing begins,
// "attach_ms" the database attached, "board_ms" the board built, "show_ms" until the X server shows
// the window viewable. After that, not in the time: "paint_ms" until the board has been painted and
// "others_ms" the program's other windows made.

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench_data.h"
#include "bench_support.h"
#include "window_search.h"

extern char** environ;

namespace {

const std::string kCaption = "Qartoグループ管理";

using Clock = std::chrono::steady_clock;

using Steps = std::vector<std::pair<std::string, std::string>>;

// The steps a program notes, in their order, each with the counter of the time since the step before
// (the first since the launch): up to its window's showing, then ("show_ms") until the window is
// viewable, then those it notes after that.
struct Split {
    Steps beforeShowing;
    Steps afterShowing;
};
const Split kProgramSplit{{{"main", "exec_ms"},
                           {"toolkit", "toolkit_ms"},
                           {"windows", "windows_ms"},
                           {"settings", "settings_ms"},
                           {"attached", "attach_ms"},
                           {"board", "board_ms"}},
                          {{"painted", "paint_ms"}, {"completed", "others_ms"}}};
const Split kFloorSplit{{{"main", "exec_ms"}, {"toolkit", "toolkit_ms"}, {"attached", "attach_ms"}}, {}};

// This process's environment without its choice of Qt platform, so the program shows on the display,
// and with the file the program notes its steps in.
std::vector<std::string> ProgramEnvironment(const QString& stepsFile) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::string(*entry).rfind("QT_QPA_PLATFORM=", 0) != 0) {
            environment.emplace_back(*entry);
        }
    }
    environment.push_back("QARTO_STARTUP_STEPS=" + QFile::encodeName(stepsFile).toStdString());
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Each step's first time on the clock, in nanoseconds.
std::map<std::string, long long> NotedSteps(const QString& stepsFile) {
    std::map<std::string, long long> noted;
    std::ifstream file(QFile::encodeName(stepsFile).toStdString());
    std::string step;
    long long at = 0;
    while (file >> step >> at) {
        noted.emplace(step, at);
    }
    return noted;
}

long long Nanoseconds(Clock::time_point at) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
}

// Waits a while for the program's last step after its showing, so that it can be counted.
void WaitForLastStep(const Split& split, const QString& stepsFile) {
    for (int wait = 0; wait < 500 && !split.afterShowing.empty(); ++wait) {
        if (NotedSteps(stepsFile).contains(split.afterShowing.back().first)) {
            return;
        }
        usleep(10000);
    }
}

// The split of one start-up, as counters.
void CountSplit(benchmark::State& state, const Split& split, const QString& stepsFile,
                Clock::time_point launched, Clock::time_point viewable) {
    const std::map<std::string, long long> noted = NotedSteps(stepsFile);
    long long previous = Nanoseconds(launched);
    const auto count = [&](const Steps& steps) {
        for (const auto& [step, counter] : steps) {
            const auto at = noted.find(step);
            Require(at != noted.end(), "a step of the start-up was not noted");
            state.counters[counter] = (at->second - previous) / 1e6;
            previous = at->second;
        }
    };
    count(split.beforeShowing);
    state.counters["show_ms"] = (Nanoseconds(viewable) - previous) / 1e6;
    previous = Nanoseconds(viewable);
    count(split.afterShowing);
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
void StartUp(benchmark::State& state, const char* programName, bool databaseArgument, const Split& split) {
    WindowSearch search;
    Require(search.Connected(), "needs an X display (DISPLAY)");
    const BenchFolder& folder = FolderWithGroups(static_cast<int>(state.range(0)));
    const std::string program = Installed(folder, QLatin1String(programName)).toStdString();
    const QString stepsFile = folder.FilePath(QLatin1String(programName) + QStringLiteral(".steps"));
    std::vector<std::string> environmentTexts = ProgramEnvironment(stepsFile);
    std::vector<char*> environment = Pointers(environmentTexts);
    std::string database = folder.DatabasePath();
    char* arguments[] = {const_cast<char*>(program.c_str()), databaseArgument ? database.data() : nullptr,
                         nullptr};
    // The program starts as from a desktop, without this process's signals held back.
    posix_spawnattr_t unblocked;
    posix_spawnattr_init(&unblocked);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&unblocked, &none);
    posix_spawnattr_setflags(&unblocked, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    unsigned long window = 0;
    bool shown = true;
    Clock::time_point launched;
    Clock::time_point viewable;
    const auto launch = [&] {
        QFile::remove(stepsFile);
        launched = Clock::now();
        // Without a process of its own, the stop below would reach this process's whole group.
        Require(posix_spawn(&pid, program.c_str(), nullptr, &unblocked, arguments, environment.data()) == 0,
                "the program could not be launched");
        window = search.WaitForWindow(pid, kCaption, std::chrono::seconds(60));
        viewable = Clock::now();
        shown = shown && window != 0;
    };
    const auto stop = [&] {
        if (window != 0) {
            WaitForLastStep(split, stepsFile);
        }
        const double peak = Stop(search, pid, window);
        if (window != 0) {
            CountSplit(state, split, stepsFile, launched, viewable);
        }
        return peak;
    };
    launch();  // the first start reads the files from disk; the user's every start after it does not
    stop();
    TimeEach(state, Pause, launch, stop);
    posix_spawnattr_destroy(&unblocked);
    Require(shown, "the window did not show");
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    Register("StartUp", [](benchmark::State& s) { StartUp(s, "qarto-groups", false, kProgramSplit); })
        ->Arg(1000),
    Register("StartUpFloor", [](benchmark::State& s) { StartUp(s, "bare_window", true, kFloorSplit); })
        ->Arg(1000),
};

}  // namespace
