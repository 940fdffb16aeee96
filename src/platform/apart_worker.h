#pragma once

#include <QByteArray>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

// One child process kept to run the same work again and again apart from the program, for work
// done for many files in a row, where a new process for each would cost more than the work: a
// crash, a hang past `timeLimit`, a runaway allocation (the same cap as RunApart's) or an answer
// larger than `largestAnswer` cost that one request, and the next request gets a new child. The
// child holds none of the program's files open. On Windows the work runs in this process. Requests
// from several threads take turns.
class ApartWorker {
public:
    using Work = std::function<std::optional<QByteArray>(const QByteArray& request)>;

    ApartWorker(Work work, std::chrono::milliseconds timeLimit, qsizetype largestAnswer);
    ~ApartWorker();
    ApartWorker(const ApartWorker&) = delete;
    ApartWorker& operator=(const ApartWorker&) = delete;

    // The work's answer to `request`, or nothing when it gave none or failed in any of those ways.
    std::optional<QByteArray> Run(const QByteArray& request);

private:
    bool Start();
    void Stop();
    std::optional<QByteArray> Ask(const QByteArray& request);

    Work work_;
    std::chrono::milliseconds timeLimit_;
    qsizetype largestAnswer_;
    std::mutex turn_;
    int socket_ = -1;
    long long child_ = 0;
};
