// The file list of 2,000 files on a share that answers each look at a file after 20 ms (a FUSE
// file system, scripts/slow-share): until the list shows and answers, beside listing the same rows
// without their files' facts; and until every row has its facts, beside the same looks made side by
// side on as many threads as the program gives one share.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <atomic>
#include <memory>
#include <thread>

#include "bare_file_list.h"
#include "bench_data.h"
#include "bench_support.h"
#include "common/codepage.h"
#include "direct_client.h"
#include "filelist/thumbnail_size.h"
#include "floor.h"
#include "platform/file_looks.h"
#include "program_file_list.h"

namespace {

constexpr int kFiles = 2000;
constexpr int kGroup = 1;
constexpr const char* kLookMs = "20";

bool Mounted(const QString& folder) {
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    return mounts.open(QIODevice::ReadOnly) &&
           mounts.readAll().contains(" " + QFile::encodeName(folder) + " ");
}

// The files made in a folder of their own, seen through the slow share at another.
struct SlowShareData {
    SlowShareData() {
        AddGroups(folder, kGroup);
        const QString source = folder.FilePath(QStringLiteral("source"));
        mounted = folder.FilePath(QStringLiteral("図面"));
        QDir().mkpath(mounted);
        const std::string sourceBytes = Cp932(source.toStdString());
        for (const std::string& path : DrawingFilePaths(source, kFiles, true)) {
            paths.push_back(Cp932(mounted.toStdString()) + path.substr(sourceBytes.size()));
        }
        AddFileTable(folder, kGroup, paths);
        share.start(QStringLiteral(QARTO_SOURCE_DIR "/scripts/slow-share"),
                    {source, mounted, QString::fromLatin1(kLookMs)});
        for (int i = 0; i < 100 && !Mounted(mounted); ++i) {
            QThread::msleep(100);
        }
        Require(Mounted(mounted), "scripts/slow-share did not mount the share (python3-fusepy, /dev/fuse)");
    }
    // Unmounted, the share's program ends.
    ~SlowShareData() {
        QProcess::execute(QStringLiteral("fusermount"), {QStringLiteral("-u"), mounted});
        if (!share.waitForFinished(5000)) {
            share.kill();
            share.waitForFinished(1000);
        }
    }

    BenchFolder folder;
    QString mounted;
    std::vector<std::string> paths;  // code-page paths below the share
    QProcess share;
};

const SlowShareData& Data() {
    static const std::unique_ptr<SlowShareData> data = std::make_unique<SlowShareData>();
    return *data;
}

bool AnyLookedFor(FileListView& view) {
    for (int row = 0; row < view.RowCount(); ++row) {
        if (view.FactsOf(row) == FileListView::Facts::Looking) {
            return true;
        }
    }
    return false;
}

// The program's list opened; with `facts`, until every row has them.
void SlowShareList(benchmark::State& state, bool facts) {
    ProgramFileList list(Data().folder);
    TimeEach(
        state, [&] { list.form.close(); },
        [&] {
            list.Open(kGroup);
            if (facts) {
                WaitWhile([&] { return AnyLookedFor(list.View()); });
            }
        });
    Require(list.RowCount() == kFiles, "the list does not show every file");
    Require(!facts || !AnyLookedFor(list.View()), "a row never had its facts");
}

// The bare rows listed without facts; with `facts`, the same looks then made on the threads one
// share gets in the program, their findings put in the rows as they come.
void SlowShareListFloor(benchmark::State& state, bool facts) {
    DirectDatabase database(Data().folder.DatabasePath(), DirectDatabase::Open::Attach);
    BareFileList list(kDefaultThumbnailSide);
    TimeEach(
        state,
        [&] {
            list.Window().hide();
            list.Clear();
        },
        [&] {
            list.Window().show();
            const std::vector<QString> paths = ListFileTable(database, kGroup, {}, list, false);
            Settle();
            if (!facts) {
                return;
            }
            std::vector<std::optional<FileFacts>> found(paths.size());
            std::atomic<std::size_t> next{0};
            std::vector<std::thread> threads;
            for (int i = 0; i < FileLooks::kThreadsPerRoot; ++i) {
                threads.emplace_back([&] {
                    for (std::size_t at = next++; at < paths.size(); at = next++) {
                        found[at] = FindFileFacts(paths[at]);
                    }
                });
            }
            for (auto& thread : threads) {
                thread.join();
            }
            for (std::size_t row = 0; row < found.size(); ++row) {
                list.ShowFacts(static_cast<int>(row), found[row]);
            }
            Settle();
        });
    Require(list.RowCount() == kFiles, "the list does not show every file");
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    Register("SlowShareList/shown", [](benchmark::State& s) { SlowShareList(s, false); })->Arg(kFiles),
    Register("SlowShareListFloor/shown", [](benchmark::State& s) { SlowShareListFloor(s, false); })
        ->Arg(kFiles),
    Register("SlowShareList/all_facts", [](benchmark::State& s) { SlowShareList(s, true); })->Arg(kFiles),
    Register("SlowShareListFloor/all_facts", [](benchmark::State& s) { SlowShareListFloor(s, true); })
        ->Arg(kFiles),
};

}  // namespace
