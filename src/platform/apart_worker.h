#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// Child processes kept to run the same work again and again apart from the program, for work done
// for many files in a row, where a new process for each would cost more than the work. Each child
// is `program`, started anew (never a copy of this process, whose other threads may hold locks the
// work needs), which answers requests with ServeApartRequests. A crash, a hang past the request's
// time limit, a runaway allocation (the same cap as RunApart's) or an answer larger than
// `largestAnswer` cost that one request: its child is killed and never waited for (one stuck in a
// read of a share that does not answer ends when the kernel lets it), and the next request gets a
// new one. Requests from several threads run at once, each in a child of its own, so one that hangs
// holds up no other. The children hold none of the program's files open. On Windows `work` runs in
// this process.
class ApartWorker {
public:
    using Work = std::function<std::optional<QByteArray>(const QByteArray& request)>;

    ApartWorker(QString program, Work work, qsizetype largestAnswer);
    ~ApartWorker();
    ApartWorker(const ApartWorker&) = delete;
    ApartWorker& operator=(const ApartWorker&) = delete;

    // The work's answer to `request`, or nothing when it gave none or failed in any of those ways.
    std::optional<QByteArray> Run(const QByteArray& request, std::chrono::milliseconds timeLimit);

private:
    struct Child {
        int socket = -1;
        long long process = 0;
    };
    std::optional<Child> TakeChild();
    void GiveBack(const Child& child);
    void Kill(const Child& child);

    QString program_;
    Work work_;
    qsizetype largestAnswer_;
    std::mutex lock_;
    std::vector<Child> idle_;
    std::vector<long long> unreaped_;  // killed, not yet gone
};

// The main loop of a worker's program: caps its memory as RunApart does, then answers the requests
// the program sends with `work` until the program closes its end. Answers the program's exit code.
int ServeApartRequests(const ApartWorker::Work& work);
