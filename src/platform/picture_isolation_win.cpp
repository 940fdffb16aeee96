#include "platform/picture_isolation.h"

// Windows has no fork; the work runs in this process.
std::optional<QByteArray> RunApart(const std::function<std::optional<QByteArray>()>& work,
                                   std::chrono::milliseconds, qsizetype largestAnswer) {
    std::optional<QByteArray> answer = work();
    if (answer && answer->size() > largestAnswer) {
        return std::nullopt;
    }
    return answer;
}

void SetUpApartProcess(QProcess&) {}

void EndProcessGroup(qint64) {}
