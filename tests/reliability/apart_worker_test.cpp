#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <csignal>
#include <cstdlib>
#include <vector>

#include "platform/apart_worker.h"

namespace {

constexpr std::chrono::milliseconds kShortLimit{500};

// Answers the request back, or misbehaves as the request says.
std::optional<QByteArray> Serve(const QByteArray& request) {
    if (request == "crash") {
        std::raise(SIGSEGV);
    } else if (request == "abort") {
        std::abort();
    } else if (request == "hang") {
        for (;;) {
            pause();
        }
    } else if (request == "flood") {
        return QByteArray(qsizetype{100} << 20, 'x');
    } else if (request == "hoard") {
        std::vector<char> hoard(std::size_t{3} << 29, 1);  // 1.5 GiB, touched
        return QByteArray(1, hoard.back());
    } else if (request == "none") {
        return std::nullopt;
    } else if (request == "pid") {
        return QByteArray::number(getpid());
    }
    return request;
}

}  // namespace

TEST(ApartWorker, oneChildAnswersRequestAfterRequest) {
    ApartWorker worker(&Serve, std::chrono::seconds(5), qsizetype{64} << 20);
    const std::optional<QByteArray> first = worker.Run("pid");
    ASSERT_TRUE(first);
    EXPECT_NE(first->toLongLong(), getpid());
    QByteArray large;
    for (int i = 0; i < 300000; ++i) {  // more than a socket holds at once
        large.append(static_cast<char>(i * 7));
    }
    EXPECT_EQ(worker.Run(large), large);
    EXPECT_FALSE(worker.Run("none"));
    EXPECT_EQ(worker.Run("pid"), first);  // still the same child
}

TEST(ApartWorker, aRequestThatCrashesHangsOrRunsAwayCostsItselfAlone) {
    ApartWorker worker(&Serve, kShortLimit, qsizetype{64} << 20);
    const std::optional<QByteArray> before = worker.Run("pid");
    ASSERT_TRUE(before);
    for (const char* request : {"crash", "abort", "hang", "flood"}) {
        EXPECT_FALSE(worker.Run(request)) << request;
        EXPECT_EQ(worker.Run("fine"), QByteArray("fine")) << "after " << request;
    }
    EXPECT_NE(worker.Run("pid"), before);  // a new child took over
    ApartWorker patient(&Serve, std::chrono::seconds(30), qsizetype{64} << 20);
    EXPECT_FALSE(patient.Run("hoard"));  // the cap holds, however long it may take
    EXPECT_EQ(patient.Run("fine"), QByteArray("fine"));
}

TEST(ApartWorker, aChildKilledFromOutsideIsReplacedAndHoldsNoFileOfTheProgram) {
    QTemporaryFile held;
    ASSERT_TRUE(held.open());
    ApartWorker worker(&Serve, std::chrono::seconds(5), 1024);
    const std::optional<QByteArray> child = worker.Run("pid");
    ASSERT_TRUE(child);
    const QString fds = QStringLiteral("/proc/%1/fd").arg(QString::fromLatin1(*child));
    const QStringList open = QDir(fds).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    ASSERT_FALSE(open.isEmpty());
    for (const QString& descriptor : open) {
        EXPECT_NE(QFile::symLinkTarget(fds + QLatin1Char('/') + descriptor), held.fileName());
        EXPECT_LE(descriptor.toInt(), 3);  // standard input, output, error and its socket
    }
    ASSERT_EQ(kill(static_cast<pid_t>(child->toLongLong()), SIGKILL), 0);
    usleep(100000);
    const std::optional<QByteArray> next = worker.Run("pid");
    ASSERT_TRUE(next);
    EXPECT_NE(next, child);
}
