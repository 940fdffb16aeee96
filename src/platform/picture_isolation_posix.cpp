#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/isolation_posix.h"
#include "platform/picture_isolation.h"

namespace {

// What the work may allocate beyond what the program already has.
constexpr rlim_t kConverterMemory = rlim_t{1} << 30;

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

// Reads what has come, waiting for it until the deadline: the bytes read, 0 at the end, -1 when
// nothing came in time or the read failed.
ssize_t ReadSome(int descriptor, char* data, qsizetype size, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return -1;
        }
        pollfd ready{descriptor, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>(std::min<long long>(left.count(), INT_MAX)));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            return -1;
        }
        const ssize_t received = read(descriptor, data, static_cast<size_t>(size));
        if (received < 0 && errno == EINTR) {
            continue;
        }
        return received;
    }
}

// Everything the child sends until it closes its end; nothing when it takes longer than the
// deadline or sends more than `largest` bytes.
std::optional<QByteArray> ReadAnswer(int pipe, std::chrono::steady_clock::time_point deadline,
                                     qsizetype largest) {
    QByteArray answer;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t received = ReadSome(pipe, buffer, sizeof buffer, deadline);
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

}  // namespace

// Read with plain system calls: after fork, only async-signal-safe calls are sure to work.
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

bool WriteAll(int descriptor, const char* data, qsizetype size) {
    bool socket = true;  // a pipe's writer is a child, which ignores SIGPIPE
    while (size > 0) {
        const ssize_t written = socket ? send(descriptor, data, static_cast<size_t>(size), MSG_NOSIGNAL)
                                       : write(descriptor, data, static_cast<size_t>(size));
        if (written < 0 && errno == ENOTSOCK && socket) {
            socket = false;
            continue;
        }
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

bool ReadExactly(int descriptor, char* data, qsizetype size, std::chrono::steady_clock::time_point deadline) {
    while (size > 0) {
        const ssize_t received = ReadSome(descriptor, data, size, deadline);
        if (received <= 0) {
            return false;
        }
        data += received;
        size -= received;
    }
    return true;
}

void SetUpApartProcess(QProcess& process) {
    process.setChildProcessModifier([] {
        setpgid(0, 0);
        LimitChildMemory();
    });
}

void EndProcessGroup(qint64 leader) {
    if (leader > 0) {
        ::kill(-static_cast<pid_t>(leader), SIGKILL);
    }
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
        signal(SIGPIPE, SIG_IGN);
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
