#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/apart_worker.h"

namespace {

constexpr std::chrono::milliseconds kShortLimit{500};
constexpr std::chrono::seconds kPatient{30};
constexpr qsizetype kLargest = qsizetype{64} << 20;
// A worker's program that answers each request back, or misbehaves as the request says (worker/).
const QString kProgram = QStringLiteral(QARTO_APART_TEST_WORKER);

}  // namespace

TEST(ApartWorker, oneChildAnswersRequestAfterRequest) {
    ApartWorker worker(kProgram, {}, kLargest);
    const std::optional<QByteArray> first = worker.Run("pid", kPatient);
    ASSERT_TRUE(first);
    EXPECT_NE(first->toLongLong(), getpid());
    QByteArray large;
    for (int i = 0; i < 300000; ++i) {  // more than a socket holds at once
        large.append(static_cast<char>(i * 7));
    }
    EXPECT_EQ(worker.Run(large, kPatient), large);
    EXPECT_FALSE(worker.Run("none", kPatient));
    EXPECT_EQ(worker.Run("pid", kPatient), first);  // still the same child
}

TEST(ApartWorker, aRequestThatCrashesHangsOrRunsAwayCostsItselfAlone) {
    ApartWorker worker(kProgram, {}, kLargest);
    const std::optional<QByteArray> before = worker.Run("pid", kPatient);
    ASSERT_TRUE(before);
    for (const char* request : {"crash", "abort", "hang", "flood"}) {
        const bool hangs = std::string_view(request) == "hang";
        EXPECT_FALSE(worker.Run(request, hangs ? kShortLimit : kPatient)) << request;
        EXPECT_EQ(worker.Run("fine", kPatient), QByteArray("fine")) << "after " << request;
    }
    EXPECT_NE(worker.Run("pid", kPatient), before);  // a new child took over
    ApartWorker patient(kProgram, {}, kLargest);
    EXPECT_FALSE(patient.Run("hoard", kPatient));  // the cap holds, however long it may take
    EXPECT_EQ(patient.Run("fine", kPatient), QByteArray("fine"));
}

TEST(ApartWorker, aChildKilledFromOutsideIsReplacedAndHoldsNoFileOfTheProgram) {
    QTemporaryFile held;
    ASSERT_TRUE(held.open());
    ApartWorker worker(kProgram, {}, 1024);
    const std::optional<QByteArray> child = worker.Run("pid", kPatient);
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
    const std::optional<QByteArray> next = worker.Run("pid", kPatient);
    ASSERT_TRUE(next);
    EXPECT_NE(next, child);
}

TEST(ApartWorker, aRequestThatHangsHoldsUpNoOther) {
    QTemporaryDir place;
    const QString pidFile = place.filePath(QStringLiteral("hanging"));
    ApartWorker worker(kProgram, {}, 1024);
    std::atomic<bool> hangEnded{false};
    std::thread hanging([&] {
        EXPECT_FALSE(worker.Run("hang:" + pidFile.toUtf8(), kPatient));
        hangEnded = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile(pidFile).size() > 0; }, 20000));
    std::atomic<bool> answered{false};
    std::thread other([&] {
        EXPECT_EQ(worker.Run("fine", kPatient), QByteArray("fine"));
        answered = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered.load(); }, 10000));
    EXPECT_FALSE(hangEnded);
    QFile named(pidFile);
    ASSERT_TRUE(named.open(QIODevice::ReadOnly));
    kill(static_cast<pid_t>(named.readAll().toLongLong()), SIGKILL);
    hanging.join();
    other.join();
}
