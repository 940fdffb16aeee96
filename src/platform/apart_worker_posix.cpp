#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <climits>

#include "platform/apart_worker.h"
#include "platform/isolation_posix.h"

namespace {

constexpr int kChildEnd = 3;  // the child's end of the socket, after standard input, output and error
constexpr qsizetype kLargestRequest = qsizetype{1} << 20;
// Children kept waiting for the next request: as many as the thumbnails' workers usually ask at once.
constexpr std::size_t kMostIdle = 4;

// Runs between fork and exec, where only async-signal-safe calls may be made. The child holds no
// file of the program open (a database file's lock would outlive its detach), and takes the
// session's signals, which the program holds back in every thread.
[[noreturn]] void ExecWithSocketOnly(int socket, char* const* arguments) {
    if (socket != kChildEnd) {
        dup2(socket, kChildEnd);  // the copy is kept open across exec
    } else {
        fcntl(kChildEnd, F_SETFD, 0);
    }
#ifdef SYS_close_range
    if (syscall(SYS_close_range, kChildEnd + 1, ~0U, 0) != 0)
#endif
    {
        for (int descriptor = kChildEnd + 1; descriptor < 65536; ++descriptor) {
            close(descriptor);
        }
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    execv(arguments[0], arguments);
    _exit(127);
}

// Requests and answers go as a 4-byte length (little-endian) and the bytes; an answer's length is
// preceded by one byte, 1 when the work answered.
std::optional<QByteArray> Ask(int socket, const QByteArray& request, std::chrono::milliseconds timeLimit,
                              qsizetype largestAnswer, bool& childSound) {
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    char length[4];
    qToLittleEndian<qint32>(static_cast<qint32>(request.size()), length);
    char head[5];
    childSound = WriteAll(socket, length, 4) && WriteAll(socket, request.constData(), request.size()) &&
                 ReadExactly(socket, head, 5, deadline);
    if (!childSound) {
        return std::nullopt;
    }
    const qint32 size = qFromLittleEndian<qint32>(head + 1);
    childSound = size >= 0 && size <= largestAnswer;
    if (!childSound) {
        return std::nullopt;
    }
    QByteArray answer(size, '\0');
    childSound = ReadExactly(socket, answer.data(), size, deadline);
    if (!childSound || head[0] != 1) {
        return std::nullopt;
    }
    return answer;
}

}  // namespace

int ServeApartRequests(const ApartWorker::Work& work) {
    signal(SIGPIPE, SIG_IGN);
    LimitChildMemory();
    const auto never = std::chrono::steady_clock::now() + std::chrono::hours(24 * 365 * 10);
    for (;;) {
        char length[4];
        if (!ReadExactly(kChildEnd, length, 4, never)) {
            return 0;  // the program closed its end
        }
        const qint32 size = qFromLittleEndian<qint32>(length);
        if (size < 0 || size > kLargestRequest) {
            return 1;
        }
        QByteArray request(size, '\0');
        if (!ReadExactly(kChildEnd, request.data(), size, never)) {
            return 1;
        }
        std::optional<QByteArray> answer;
        try {
            answer = work(request);
        } catch (...) {
            _exit(1);  // out of memory, most likely: nothing of this process is worth unwinding
        }
        char head[5] = {static_cast<char>(answer ? 1 : 0)};
        qToLittleEndian<qint32>(answer ? static_cast<qint32>(answer->size()) : 0, head + 1);
        if (!WriteAll(kChildEnd, head, 5) ||
            (answer && !WriteAll(kChildEnd, answer->constData(), answer->size()))) {
            return 1;
        }
    }
}

ApartWorker::ApartWorker(QString program, Work work, qsizetype largestAnswer)
    : program_(std::move(program)), work_(std::move(work)), largestAnswer_(largestAnswer) {}

ApartWorker::~ApartWorker() {
    for (const Child& child : idle_) {
        Kill(child);
    }
}

// An idle child still running, or a new one; nothing when none can be started.
std::optional<ApartWorker::Child> ApartWorker::TakeChild() {
    {
        const std::lock_guard<std::mutex> held(lock_);
        std::erase_if(unreaped_, [](long long process) {
            return waitpid(static_cast<pid_t>(process), nullptr, WNOHANG) != 0;
        });
        while (!idle_.empty()) {
            const Child child = idle_.back();
            idle_.pop_back();
            // One that ended since its last request (killed from outside) is replaced.
            if (waitpid(static_cast<pid_t>(child.process), nullptr, WNOHANG) == 0) {
                return child;
            }
            close(child.socket);
        }
    }
    const QByteArray program = QFile::encodeName(program_);
    char* const arguments[] = {const_cast<char*>(program.constData()), nullptr};
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return std::nullopt;
    }
    const pid_t process = fork();
    if (process == 0) {
        ExecWithSocketOnly(ends[1], arguments);
    }
    close(ends[1]);
    if (process < 0) {
        close(ends[0]);
        return std::nullopt;
    }
    return Child{ends[0], process};
}

void ApartWorker::GiveBack(const Child& child) {
    const std::lock_guard<std::mutex> held(lock_);
    if (idle_.size() < kMostIdle) {
        idle_.push_back(child);
        return;
    }
    close(child.socket);  // it ends when it reads the end
    unreaped_.push_back(child.process);
}

void ApartWorker::Kill(const Child& child) {
    close(child.socket);
    kill(static_cast<pid_t>(child.process), SIGKILL);
    if (waitpid(static_cast<pid_t>(child.process), nullptr, WNOHANG) == 0) {
        const std::lock_guard<std::mutex> held(lock_);
        unreaped_.push_back(child.process);
    }
}

std::optional<QByteArray> ApartWorker::Run(const QByteArray& request, std::chrono::milliseconds timeLimit) {
    if (request.size() > kLargestRequest) {
        return std::nullopt;
    }
    const std::optional<Child> child = TakeChild();
    if (!child) {
        return std::nullopt;
    }
    bool childSound = false;
    std::optional<QByteArray> answer = Ask(child->socket, request, timeLimit, largestAnswer_, childSound);
    if (childSound) {
        GiveBack(*child);
    } else {
        Kill(*child);
    }
    return answer;
}
