#include "platform/apart_worker.h"

// Windows has no fork; the work runs in this process.
ApartWorker::ApartWorker(QString program, Work work, qsizetype largestAnswer)
    : program_(std::move(program)), work_(std::move(work)), largestAnswer_(largestAnswer) {}

ApartWorker::~ApartWorker() = default;

std::optional<QByteArray> ApartWorker::Run(const QByteArray& request, std::chrono::milliseconds) {
    std::optional<QByteArray> answer = work_(request);
    if (answer && answer->size() > largestAnswer_) {
        return std::nullopt;
    }
    return answer;
}
