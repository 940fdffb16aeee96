#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <cerrno>
#include <cstdlib>

#include "platform/picture_isolation.h"

namespace {

// What the work may allocate beyond what the program already has.
constexpr rlim_t kConverterMemory = rlim_t{1} << 30;

// Caps the child's address space at its present size plus the converter's share. Read with plain
// system calls: after fork, only async-signal-safe calls are sure to work.
void LimitChildMemory() {
    char text[64] = {};
    const int file = open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return;
    }
    const ssize_t length = read(file, text, sizeof text - 1);
    close(file);
    if (length <= 0) {
        return;
    }
    const rlim_t pages = std::strtoull(text, nullptr, 10);  // the first field: total pages mapped
    const rlimit limit{pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + kConverterMemory, RLIM_INFINITY};
    setrlimit(RLIMIT_AS, &limit);
}

bool WriteAll(int pipe, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t written = write(pipe, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

[[noreturn]] void WorkInChild(const std::function<std::optional<QByteArray>()>& work, int pipe) {
    LimitChildMemory();
    std::optional<QByteArray> answer;
    try {
        answer = work();
    } catch (...) {
        // Out of memory most likely. Unwinding further would run the parent's code in the child.
    }
    const bool sent = answer && WriteAll(pipe, answer->constData(), answer->size());
    _exit(sent ? 0 : 1);  // no destructors, no atexit handlers: they belong to the parent
}

// Everything the child sends until it closes its end; nothing when it takes longer than the
// deadline or sends more than `largest` bytes.
std::optional<QByteArray> ReadAnswer(int pipe, std::chrono::steady_clock::time_point deadline,
                                     qsizetype largest) {
    QByteArray answer;
    char buffer[1 << 16];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        pollfd ready{pipe, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            return std::nullopt;
        }
        const ssize_t received = read(pipe, buffer, sizeof buffer);
        if (received < 0 && errno == EINTR) {
            continue;
        }
        if (received < 0) {
            return std::nullopt;
        }
        if (received == 0) {
            return answer;
        }
        answer.append(buffer, received);
        if (answer.size() > largest) {
            return std::nullopt;
        }
    }
}

// Waits for the child, killing it first when it is not to be waited for; true when it ended well.
bool EndChild(pid_t child, bool kill) {
    if (kill) {
        ::kill(child, SIGKILL);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return !kill && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

void CapMemoryOf(QProcess& process) {
    process.setChildProcessModifier([] { LimitChildMemory(); });
}

std::optional<QByteArray> RunApart(const std::function<std::optional<QByteArray>()>& work,
                                   std::chrono::milliseconds timeLimit, qsizetype largestAnswer) {
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        WorkInChild(work, ends[1]);
    }
    close(ends[1]);
    if (child < 0) {
        close(ends[0]);
        return std::nullopt;
    }
    std::optional<QByteArray> answer = ReadAnswer(ends[0], deadline, largestAnswer);
    close(ends[0]);
    if (!EndChild(child, !answer)) {
        return std::nullopt;
    }
    return answer;
}
