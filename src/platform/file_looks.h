#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/folder_mapping.h"
#include "platform/file_facts.h"

// What one look at a registered file found.
struct FileLook {
    QString onDisk;                  // the path as it stands on disk (see StoredPathOnDisk)
    std::optional<FileFacts> facts;  // nothing when there is no entry there
};

// What a look finds out: every fact of the entry, or only whether a file is there (a scan of
// thousands, with facts for a file alone, their size and time left out; no path on disk).
enum class LookFor { Facts, File };

// The program's look at the file or folder at a local path (code-page bytes).
FileLook LookAtFile(const std::string& cp932Path, LookFor lookFor = LookFor::Facts);

// What the looks at a path wait on: a mounted file system or a mapped folder.
struct FolderRoot {
    std::string folder;  // code-page bytes, ending in its separator
    QString name;        // as the user knows it: a mapped share's stored form, else the folder
};

struct FileLookState;
class QTimer;

// Looks at files on threads of their own, never on the asker's. Each folder root has at most
// kThreadsPerRoot threads waiting on it, so a share that does not answer ties up only its own
// threads and the looks at other roots go on. Threads are never joined: one stuck in the kernel is
// left behind, to the end of the process. A root with a look that has waited `noAnswer` is taken
// for one that does not answer, until its looks come back.
class FileLooks {
public:
    using Look = std::function<FileLook(const std::string& cp932Path, LookFor lookFor)>;
    static constexpr int kThreadsPerRoot = 8;
    static constexpr std::chrono::milliseconds kNoAnswer{10000};

    explicit FileLooks(Look look = LookAtFile, std::chrono::milliseconds noAnswer = kNoAnswer);
    ~FileLooks();
    FileLooks(const FileLooks&) = delete;
    FileLooks& operator=(const FileLooks&) = delete;

    // The program's own: kept to the end of the process, for the threads it leaves behind.
    static FileLooks& Program();

    // The root a local path's looks wait on: the deepest mounted file system or mapped folder that
    // holds it, else its drive or share.
    FolderRoot RootOf(const std::string& cp932Path, const FolderMappings& mappings) const;

    // For a thread that may wait (a scan): the look at each path, in order. A path whose root does
    // not answer is answered with nothing, as is every path once `cancelled` is set.
    std::vector<std::optional<FileLook>> LookAll(const std::vector<std::string>& cp932Paths,
                                                 const FolderMappings& mappings,
                                                 const std::atomic<bool>& cancelled,
                                                 LookFor lookFor = LookFor::Facts);

private:
    friend class FileLookQueue;
    std::shared_ptr<FileLookState> state_;
};

struct QueueAsker;

// One window's questions to the file looks, answered on the window's thread in batches as the
// looks come back. Closing the window forgets its questions and waits for none.
class FileLookQueue : public QObject {
    Q_OBJECT
public:
    FileLookQueue(FileLooks& looks, QObject* parent);
    ~FileLookQueue() override;

    struct Question {
        quint64 id;
        std::string path;  // local, code-page bytes
    };
    // Asked behind the questions asked before, or with `first` before all of them.
    void Ask(const std::vector<Question>& questions, const FolderMappings& mappings, bool first = false);
    // The questions still queued among `ids` go before all others of their roots, in this order.
    void Hurry(const std::vector<quint64>& ids);
    // Forgets every question: looks under way finish unheard.
    void Cancel();
    // Questions asked and not answered.
    int Waiting() const;

    using Answer = std::pair<quint64, FileLook>;

signals:
    void Answered(const std::vector<FileLookQueue::Answer>& answers);
    // Questions waiting on a root that does not answer, told once each; `rootName` names the root.
    void NotAnswering(const std::vector<quint64>& ids, const QString& rootName);

private:
    friend struct QueueAsker;  // delivers what the threads found
    void Deliver();
    void TellNotAnswering();

    std::shared_ptr<FileLookState> state_;
    std::shared_ptr<QueueAsker> asker_;
    QTimer* watch_;
};
