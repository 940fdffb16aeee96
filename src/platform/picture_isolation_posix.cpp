#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtEndian>
#include <cerrno>
#include <cstdlib>

#include "platform/picture_isolation.h"

namespace {

// What the converter may allocate beyond what the program already has, and the largest SVG taken
// back from it.
constexpr rlim_t kConverterMemory = rlim_t{1} << 30;
constexpr qsizetype kLargestSvg = qsizetype{64} << 20;
// The child's answer: the picture's width and height, then the SVG document.
constexpr qsizetype kSizeFields = 8;

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

[[noreturn]] void ConvertInChild(MetafileConverter convert, const QByteArray& bytes, int pipe) {
    LimitChildMemory();
    std::optional<MetafileSvg> converted;
    try {
        converted = convert(bytes);
    } catch (...) {
        // Out of memory most likely. Unwinding further would run the parent's code in the child.
    }
    if (!converted) {
        _exit(1);
    }
    char size[kSizeFields];
    qToLittleEndian<qint32>(converted->size.width(), size);
    qToLittleEndian<qint32>(converted->size.height(), size + 4);
    const bool sent = WriteAll(pipe, size, kSizeFields) &&
                      WriteAll(pipe, converted->svg.constData(), converted->svg.size());
    _exit(sent ? 0 : 1);  // no destructors, no atexit handlers: they belong to the parent
}

// Everything the child sends until it closes its end; nothing when it takes longer than the
// deadline or sends more than any picture needs.
std::optional<QByteArray> ReadAnswer(int pipe, std::chrono::steady_clock::time_point deadline) {
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
        if (answer.size() > kSizeFields + kLargestSvg) {
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

std::optional<MetafileSvg> ConvertApart(MetafileConverter convert, const QByteArray& bytes,
                                        std::chrono::milliseconds timeLimit) {
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        ConvertInChild(convert, bytes, ends[1]);
    }
    close(ends[1]);
    if (child < 0) {
        close(ends[0]);
        return std::nullopt;
    }
    const std::optional<QByteArray> answer = ReadAnswer(ends[0], deadline);
    close(ends[0]);
    if (!EndChild(child, !answer) || answer->size() < kSizeFields) {
        return std::nullopt;
    }
    const QSize size(qFromLittleEndian<qint32>(answer->constData()),
                     qFromLittleEndian<qint32>(answer->constData() + 4));
    return MetafileSvg{answer->mid(kSizeFields), size};
}
