#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "common/codepage.h"
#include "platform/codec.h"
#include "platform/file_looks.h"
#include "support/full_length_names.h"

namespace {

// \\FS01\図面\ mounted at a folder of its own; 表 and ソ end in the byte of '\'.
const std::string kShare = Cp932("\\\\FS01\\図面\\");
const std::string kDead = "/mnt/" + FullLengthName("dead", 120) + "/";

// Looks that wait, for the paths under the dead share, until the test lets them go; the others
// answer at once.
struct StuckShare {
    FileLook Look(const std::string& path) {
        if (path.rfind(kDead, 0) == 0) {
            std::unique_lock<std::mutex> held(lock);
            begun.push_back(path);
            mostWaiting = std::max(mostWaiting, ++waiting);
            answers.wait(held, [&] { return released || tickets > 0; });
            tickets -= released ? 0 : 1;
            --waiting;
        }
        return FileLook{FromCp932(path), FileFacts{1, {}, true}};
    }
    void Release(bool all = true) {
        const std::lock_guard<std::mutex> held(lock);
        released = all;
        answers.notify_all();
    }
    void LetOneGo() {
        const std::lock_guard<std::mutex> held(lock);
        ++tickets;
        answers.notify_all();
    }
    template <typename Value>
    Value Read(Value StuckShare::*field) {
        const std::lock_guard<std::mutex> held(lock);
        return this->*field;
    }

    std::mutex lock;
    std::condition_variable answers;
    bool released = false;
    int tickets = 0;
    int waiting = 0;
    int mostWaiting = 0;
    std::vector<std::string> begun;  // the dead share's looks, in the order they began
};

class FileLooksTest : public ::testing::Test {
protected:
    ~FileLooksTest() override { share->Release(); }

    std::shared_ptr<StuckShare> share = std::make_shared<StuckShare>();
    FileLooks looks{[share = share](const std::string& path, LookFor) { return share->Look(path); },
                    std::chrono::milliseconds(100)};
    FolderMappings mappings{MappingOf(kShare, kDead)};
};

std::string Live(int i) {
    return "/tmp/" + FullLengthName("live" + std::to_string(i), 200);
}

std::string Dead(int i) {
    return kDead + FullLengthName("file" + std::to_string(i), 100);
}

}  // namespace

TEST(FileLookRoots, looksWaitOnTheDeepestMountOrMappedFolderElseTheirDriveOrShare) {
    const FileLooks looks;
    const FolderMappings mappings{MappingOf(kShare, "/mnt/fs01/"),
                                  MappingOf(Cp932("Z:\\"), Cp932("/mnt/fs01/表/"))};
    struct Case {
        std::string path;
        std::string folder;
        QString name;
    };
    const Case cases[] = {
        {"/mnt/fs01/a.dwg", "/mnt/fs01/", FromCp932(kShare)},
        {Cp932("/mnt/fs01/表/ソ.dwg"), Cp932("/mnt/fs01/表/"), QStringLiteral("Z:\\")},
        {"/proc/self/status", "/proc/", QStringLiteral("/proc/")},
        {Cp932("\\\\srv\\表\\ソ\\a.dwg"), Cp932("\\\\srv\\表\\"), QStringLiteral("\\\\srv\\表\\")},
        {"y:\\a\\b.dwg", "y:\\", QStringLiteral("y:\\")},
    };
    for (const Case& c : cases) {
        const FolderRoot root = looks.RootOf(c.path, mappings);
        EXPECT_EQ(root.folder, c.folder) << c.path;
        EXPECT_EQ(root.name, c.name) << c.path;
    }
}

// The ids of the answers told so far, in order, each checked against the path asked.
std::vector<quint64> Heard(QSignalSpy& answered, const std::map<quint64, std::string>& asked) {
    std::vector<quint64> ids;
    for (const QList<QVariant>& batch : answered) {
        for (const auto& [id, look] : batch[0].value<std::vector<FileLookQueue::Answer>>()) {
            EXPECT_EQ(look.onDisk, FromCp932(asked.at(id)));
            ids.push_back(id);
        }
    }
    return ids;
}

TEST_F(FileLooksTest, aShareThatDoesNotAnswerTiesUpOnlyItsOwnThreadsAndIsToldOnce) {
    FileLookQueue queue(looks, nullptr);
    QSignalSpy answered(&queue, &FileLookQueue::Answered);
    QSignalSpy notAnswering(&queue, &FileLookQueue::NotAnswering);
    std::vector<FileLookQueue::Question> questions;
    std::map<quint64, std::string> asked;
    for (int i = 0; i < 3 * FileLooks::kThreadsPerRoot + 5; ++i) {
        const bool dead = i < 3 * FileLooks::kThreadsPerRoot;
        questions.push_back({static_cast<quint64>(i), dead ? Dead(i) : Live(i)});
        asked[i] = questions.back().path;
    }
    queue.Ask(questions, mappings);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Heard(answered, asked).size() == 5; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return notAnswering.size() == 1; }, 10000));
    EXPECT_EQ(notAnswering[0][0].value<std::vector<quint64>>().size(), 3u * FileLooks::kThreadsPerRoot);
    EXPECT_EQ(notAnswering[0][1].toString(), FromCp932(kShare));
    QTest::qWait(300);
    EXPECT_EQ(notAnswering.size(), 1);
    EXPECT_EQ(share->Read(&StuckShare::mostWaiting), FileLooks::kThreadsPerRoot);
    EXPECT_EQ(queue.Waiting(), 3 * FileLooks::kThreadsPerRoot);

    share->Release();  // the share wakes up: what waited on it comes
    EXPECT_TRUE(QTest::qWaitFor([&] { return Heard(answered, asked).size() == questions.size(); }, 10000));
    EXPECT_EQ(queue.Waiting(), 0);
}

TEST_F(FileLooksTest, hurriedQuestionsGoFirstAndCancelledOnesAreNeverAnswered) {
    FileLookQueue queue(looks, nullptr);
    QSignalSpy answered(&queue, &FileLookQueue::Answered);
    constexpr int kBusy = FileLooks::kThreadsPerRoot;
    std::vector<FileLookQueue::Question> questions;
    for (int i = 0; i < kBusy + 4; ++i) {
        questions.push_back({static_cast<quint64>(i), Dead(i)});
    }
    queue.Ask(questions, mappings);
    ASSERT_TRUE(QTest::qWaitFor([&] { return share->Read(&StuckShare::waiting) == kBusy; }, 10000));
    queue.Hurry({kBusy + 3, kBusy + 2});
    queue.Ask({{50, Dead(50)}}, mappings, true);
    // Each thread let go takes the next question and waits on it again.
    for (std::size_t taken = kBusy + 1; taken <= kBusy + 5; ++taken) {
        share->LetOneGo();
        ASSERT_TRUE(QTest::qWaitFor([&] { return share->Read(&StuckShare::begun).size() == taken; }, 10000));
    }
    const std::vector<std::string> begun = share->Read(&StuckShare::begun);
    EXPECT_EQ(
        std::vector<std::string>(begun.begin() + kBusy, begun.end()),
        (std::vector<std::string>{Dead(50), Dead(kBusy + 3), Dead(kBusy + 2), Dead(kBusy), Dead(kBusy + 1)}));

    share->Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return queue.Waiting() == 0; }, 10000));

    share->Release(false);
    answered.clear();
    queue.Ask({{60, Dead(60)}, {61, Live(61)}}, mappings);
    queue.Cancel();
    share->Release();
    QTest::qWait(200);
    EXPECT_TRUE(answered.isEmpty());
    EXPECT_EQ(queue.Waiting(), 0);
}

TEST_F(FileLooksTest, aWaitingThreadGetsWhatAnswersAndGivesUpTheShareThatDoesNotOrWhenCancelled) {
    std::atomic<bool> cancelled{false};
    const std::vector<std::optional<FileLook>> found =
        looks.LookAll({Live(1), Dead(1), Live(2)}, mappings, cancelled);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_TRUE(found[0] && found[2]);
    EXPECT_FALSE(found[1]);

    // A share given all the time in the world: only the cancel ends the wait.
    FileLooks patient([share = share](const std::string& path, LookFor) { return share->Look(path); },
                      std::chrono::hours(1));
    std::thread stop([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        cancelled = true;
    });
    const std::vector<std::optional<FileLook>> stopped =
        patient.LookAll({Dead(2), Dead(3)}, mappings, cancelled);
    stop.join();
    EXPECT_EQ(stopped.size(), 2u);
    EXPECT_FALSE(stopped[0] || stopped[1]);
}
