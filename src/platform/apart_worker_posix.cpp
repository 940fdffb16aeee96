#include <signal.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtEndian>
#include <algorithm>
#include <climits>

#include "platform/apart_worker.h"
#include "platform/isolation_posix.h"

namespace {

constexpr int kChildEnd = 3;  // the child's end of the socket, after standard input, output and error
constexpr qsizetype kLargestRequest = qsizetype{1} << 20;

// The child holds no file of the program open (a database file's lock would outlive its detach).
void CloseAllButTheSocket(int socket) {
    if (socket != kChildEnd) {
        dup2(socket, kChildEnd);
    }
#ifdef SYS_close_range
    if (syscall(SYS_close_range, kChildEnd + 1, ~0U, 0) == 0) {
        return;
    }
#endif
    const long most = std::min<long>(sysconf(_SC_OPEN_MAX), 65536);
    for (int descriptor = kChildEnd + 1; descriptor < most; ++descriptor) {
        close(descriptor);
    }
}

// Requests and answers go as a 4-byte length (little-endian) and the bytes; an answer's length is
// preceded by one byte, 1 when the work answered.
[[noreturn]] void Serve(const ApartWorker::Work& work, qsizetype largestAnswer) {
    const auto never = std::chrono::steady_clock::now() + std::chrono::hours(24 * 365 * 10);
    for (;;) {
        char length[4];
        if (!ReadExactly(kChildEnd, length, 4, never)) {
            _exit(0);  // the program closed its end
        }
        const qint32 size = qFromLittleEndian<qint32>(length);
        if (size < 0 || size > kLargestRequest) {
            _exit(1);
        }
        QByteArray request(size, '\0');
        if (!ReadExactly(kChildEnd, request.data(), size, never)) {
            _exit(1);
        }
        std::optional<QByteArray> answer;
        try {
            answer = work(request);
        } catch (...) {
            _exit(1);  // unwinding further would run the parent's code in the child
        }
        if (answer && answer->size() > largestAnswer) {
            answer.reset();
        }
        char head[5] = {static_cast<char>(answer ? 1 : 0)};
        qToLittleEndian<qint32>(answer ? static_cast<qint32>(answer->size()) : 0, head + 1);
        if (!WriteAll(kChildEnd, head, 5) ||
            (answer && !WriteAll(kChildEnd, answer->constData(), answer->size()))) {
            _exit(1);
        }
    }
}

}  // namespace

ApartWorker::ApartWorker(Work work, std::chrono::milliseconds timeLimit, qsizetype largestAnswer)
    : work_(std::move(work)), timeLimit_(timeLimit), largestAnswer_(largestAnswer) {}

ApartWorker::~ApartWorker() {
    Stop();
}

bool ApartWorker::Start() {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGPIPE, SIG_IGN);
        CloseAllButTheSocket(ends[1]);
        LimitChildMemory();
        Serve(work_, largestAnswer_);
    }
    close(ends[1]);
    if (child < 0) {
        close(ends[0]);
        return false;
    }
    socket_ = ends[0];
    child_ = child;
    return true;
}

void ApartWorker::Stop() {
    if (socket_ >= 0) {
        close(socket_);
        socket_ = -1;
        EndChild(static_cast<pid_t>(child_), true);
        child_ = 0;
    }
}

std::optional<QByteArray> ApartWorker::Ask(const QByteArray& request) {
    const auto deadline = std::chrono::steady_clock::now() + timeLimit_;
    char length[4];
    qToLittleEndian<qint32>(static_cast<qint32>(request.size()), length);
    if (!WriteAll(socket_, length, 4) || !WriteAll(socket_, request.constData(), request.size())) {
        Stop();
        return std::nullopt;
    }
    char head[5];
    if (!ReadExactly(socket_, head, 5, deadline)) {
        Stop();
        return std::nullopt;
    }
    const qint32 size = qFromLittleEndian<qint32>(head + 1);
    if (size < 0 || size > largestAnswer_) {
        Stop();
        return std::nullopt;
    }
    QByteArray answer(size, '\0');
    if (!ReadExactly(socket_, answer.data(), size, deadline)) {
        Stop();
        return std::nullopt;
    }
    if (head[0] != 1) {
        return std::nullopt;
    }
    return answer;
}

std::optional<QByteArray> ApartWorker::Run(const QByteArray& request) {
    if (request.size() > kLargestRequest) {
        return std::nullopt;
    }
    const std::lock_guard<std::mutex> held(turn_);
    // A child that ended since the last request (killed from outside) is replaced.
    int status = 0;
    if (socket_ >= 0 && waitpid(static_cast<pid_t>(child_), &status, WNOHANG) == child_) {
        close(socket_);
        socket_ = -1;
        child_ = 0;
    }
    if (socket_ < 0 && !Start()) {
        return std::nullopt;
    }
    return Ask(request);
}
