#include "platform/apart_worker.h"

// Windows has no fork; the work runs in this process.
ApartWorker::ApartWorker(Work work, std::chrono::milliseconds timeLimit, qsizetype largestAnswer)
    : work_(std::move(work)), timeLimit_(timeLimit), largestAnswer_(largestAnswer) {}

ApartWorker::~ApartWorker() = default;

std::optional<QByteArray> ApartWorker::Run(const QByteArray& request) {
    const std::lock_guard<std::mutex> held(turn_);
    std::optional<QByteArray> answer = work_(request);
    if (answer && answer->size() > largestAnswer_) {
        return std::nullopt;
    }
    return answer;
}

bool ApartWorker::Start() {
    return true;
}

void ApartWorker::Stop() {}

std::optional<QByteArray> ApartWorker::Ask(const QByteArray& request) {
    return work_(request);
}
