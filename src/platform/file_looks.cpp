#include "platform/file_looks.h"

#include <QTimer>
#include <algorithm>
#include <condition_variable>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "common/codepage.h"
#include "platform/codec.h"

using Clock = std::chrono::steady_clock;

namespace {

// A look quicker than this is one of a local disk's; after this many in a row a thread takes a run of
// questions at a time.
constexpr auto kQuickLook = std::chrono::milliseconds(1);
constexpr std::size_t kQuickStreak = 64;
constexpr std::size_t kQuickRun = 64;

}  // namespace

FileLook LookAtFile(const std::string& cp932Path, LookFor lookFor) {
    FileLook look;
    if (lookFor == LookFor::File) {
        // One stat, without the conversions and the local time a row's facts need.
        if (StoredFileExists(cp932Path)) {
            look.facts = FileFacts{0, QString(), true};
        }
        return look;
    }
    look.onDisk = StoredPathOnDisk(cp932Path);
    look.facts = FindFileFacts(look.onDisk);
    return look;
}

// Whoever asked: told each answer on the thread that looked, outside the state's lock.
struct Asker {
    virtual ~Asker() = default;
    virtual void Take(quint64 id, quint64 epoch, FileLook look) = 0;
    quint64 epoch = 0;  // under the state's lock; the queue's Cancel moves it on
};

// What the windows and the threads share, under one lock.
struct FileLookState : std::enable_shared_from_this<FileLookState> {
    struct Asked {
        std::shared_ptr<Asker> asker;
        quint64 id = 0;
        quint64 serial = 0;  // this question, among all of the asker's under the same id
        std::string path;
        LookFor lookFor = LookFor::Facts;
    };
    struct Root {
        QString name;  // the FolderRoot's, as last asked
        std::list<Asked> queued;
        int threads = 0;
        // How many of its looks in a row answered at once (a local disk): after a streak of them a
        // thread takes several questions at a time.
        std::size_t quickLooks = 0;
        std::multiset<Clock::time_point> running;  // when each look under way began
    };
    // A question asked and not answered, by asker and id.
    struct Outstanding {
        Root* root = nullptr;
        quint64 serial = 0;
        std::optional<std::list<Asked>::iterator> queued;  // while no thread has taken it
        bool told = false;                                 // told as waiting on a root that does not answer
    };

    FileLooks::Look look;
    std::chrono::milliseconds noAnswer;
    std::mutex lock;
    std::map<std::string, Root> roots;  // by folder
    std::unordered_map<const Asker*, std::unordered_map<quint64, Outstanding>> outstanding;
    quint64 serials = 0;

    mutable std::mutex mountLock;
    mutable std::vector<std::string> mounts;  // code-page folders, ending in '/'
    mutable Clock::time_point mountsRead;

    bool NotAnswering(const Root& root, Clock::time_point now) const {
        return !root.running.empty() && now - *root.running.begin() >= noAnswer;
    }

    // Under the lock.
    void Queue(const std::shared_ptr<Asker>& asker, quint64 id, std::string path, const FolderRoot& rootOf,
               bool first, LookFor lookFor = LookFor::Facts) {
        Root& root = roots[rootOf.folder];
        root.name = rootOf.name;
        const auto at = root.queued.insert(first ? root.queued.begin() : root.queued.end(),
                                           Asked{asker, id, ++serials, std::move(path), lookFor});
        outstanding[asker.get()][id] = Outstanding{&root, at->serial, at, false};
        StartThreads(root);
    }

    // Under the lock: drops every question of the asker; looks under way finish unheard.
    void Forget(const Asker& asker) {
        const auto found = outstanding.find(&asker);
        if (found == outstanding.end()) {
            return;
        }
        for (auto& [id, question] : found->second) {
            if (question.queued) {
                question.root->queued.erase(*question.queued);
            }
        }
        outstanding.erase(found);
    }

    void StartThreads(Root& root) {
        while (root.threads < FileLooks::kThreadsPerRoot &&
               static_cast<std::size_t>(root.threads) < root.running.size() + root.queued.size()) {
            try {
                std::thread([self = shared_from_this(), &root] { self->Work(root); }).detach();
            } catch (const std::system_error&) {
                return;  // the threads there are take the questions on
            }
            ++root.threads;
        }
    }

    // One thread of a root: looks until no question is left. On a root whose looks answer at once a
    // thread takes a run of questions, and tells their answers together, at a cost of the lock per
    // run instead of per look; elsewhere one at a time, so that the rows hurried go first. A run
    // whose look is slow gives the rest of it back, for the other threads.
    void Work(Root& root) {
        std::vector<Asked> taken;
        std::vector<FileLook> found;
        for (;;) {
            taken.clear();
            found.clear();
            std::multiset<Clock::time_point>::iterator began;
            {
                const std::lock_guard<std::mutex> held(lock);
                if (root.queued.empty()) {
                    --root.threads;
                    return;
                }
                const std::size_t run = root.quickLooks >= kQuickStreak ? kQuickRun : 1;
                while (taken.size() < run && !root.queued.empty()) {
                    Asked asked = std::move(root.queued.front());
                    root.queued.pop_front();
                    if (Outstanding* question = Find(asked)) {
                        question->queued.reset();
                        taken.push_back(std::move(asked));
                    }
                }
                if (taken.empty()) {
                    continue;
                }
                began = root.running.insert(Clock::now());
            }
            bool slow = false;
            while (found.size() < taken.size() && !slow) {
                const Clock::time_point start = Clock::now();
                found.push_back(look(taken[found.size()].path, taken[found.size()].lookFor));
                slow = Clock::now() - start >= kQuickLook;
            }
            std::vector<quint64> epochs(found.size());
            {
                const std::lock_guard<std::mutex> held(lock);
                root.quickLooks = slow ? 0 : root.quickLooks + found.size();
                root.running.erase(began);
                GiveBack(root, taken, found.size());
                for (std::size_t i = 0; i < taken.size(); ++i) {
                    if (Find(taken[i]) == nullptr) {
                        taken[i].asker.reset();  // forgotten meanwhile
                        continue;
                    }
                    outstanding[taken[i].asker.get()].erase(taken[i].id);
                    epochs[i] = taken[i].asker->epoch;
                }
            }
            for (std::size_t i = 0; i < taken.size(); ++i) {
                if (taken[i].asker) {
                    taken[i].asker->Take(taken[i].id, epochs[i], std::move(found[i]));
                }
            }
        }
    }

    // Under the lock: the questions taken and not looked at go back to the front of their root, in
    // their order.
    void GiveBack(Root& root, std::vector<Asked>& taken, std::size_t from) {
        auto at = root.queued.begin();
        for (std::size_t i = from; i < taken.size(); ++i) {
            if (Outstanding* question = Find(taken[i])) {
                question->queued = root.queued.insert(at, std::move(taken[i]));
            }
        }
        taken.resize(from);
    }

    Outstanding* Find(const Asked& asked) {
        const auto of = outstanding.find(asked.asker.get());
        if (of == outstanding.end()) {
            return nullptr;
        }
        const auto question = of->second.find(asked.id);
        return question != of->second.end() && question->second.serial == asked.serial ? &question->second
                                                                                       : nullptr;
    }

    FolderRoot RootOf(const std::string& cp932Path, const FolderMappings& mappings) const;

    // The mounted file systems, read again when the last reading is a few seconds old.
    std::vector<std::string> Mounts() const {
        const std::lock_guard<std::mutex> held(mountLock);
        const Clock::time_point now = Clock::now();
        if (mounts.empty() || now - mountsRead > std::chrono::seconds(2)) {
            mounts.clear();
            for (const std::string& folder : MountedFolders()) {
                if (std::optional<std::string> bytes = Cp932FromUtf8(folder)) {
                    mounts.push_back(WithFinalSeparator(*bytes));
                }
            }
            mountsRead = now;
        }
        return mounts;
    }
};

namespace {

// A Windows path's drive ("X:\") or share ("\\server\share\"); the first folder of any other.
std::string TextualRoot(const std::string& path) {
    if (!IsWindowsPath(path)) {
        return "/";
    }
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 2 && path[1] == ':') {
        return path.substr(0, 2) + "\\";
    }
    // \\server\share\: two names after the leading pair, minding double-byte characters.
    std::size_t at = 2;
    int names = 0;
    while (at < path.size()) {
        if (IsLeadByte(static_cast<unsigned char>(path[at]))) {
            at += 2;
            continue;
        }
        if (separator(path[at]) && ++names == 2) {
            return path.substr(0, at + 1);
        }
        ++at;
    }
    return WithFinalSeparator(path);
}

}  // namespace

FolderRoot FileLookState::RootOf(const std::string& cp932Path, const FolderMappings& mappings) const {
    FolderRoot root;
    for (const std::string& mount : Mounts()) {
        if (mount.size() > root.folder.size() && StartsWithFolder(cp932Path, mount)) {
            root.folder = mount;
        }
    }
    std::size_t mapped = 0;
    for (const FolderMapping& mapping : mappings) {
        if (mapping.local.size() > mapped && StartsWithFolder(cp932Path, mapping.local)) {
            mapped = mapping.local.size();
            root.name = FromCp932(mapping.stored);
            if (mapping.local.size() >= root.folder.size()) {
                root.folder = mapping.local;
            }
        }
    }
    if (root.folder.empty() || (IsWindowsPath(cp932Path) && root.folder == "/")) {
        root.folder = TextualRoot(cp932Path);
    }
    if (root.name.isEmpty()) {
        root.name = FromCp932(root.folder);
    }
    return root;
}

FileLooks::FileLooks(Look look, std::chrono::milliseconds noAnswer)
    : state_(std::make_shared<FileLookState>()) {
    state_->look = std::move(look);
    state_->noAnswer = noAnswer;
}

FileLooks::~FileLooks() = default;

FileLooks& FileLooks::Program() {
    static FileLooks* const program = new FileLooks;
    return *program;
}

FolderRoot FileLooks::RootOf(const std::string& cp932Path, const FolderMappings& mappings) const {
    return state_->RootOf(cp932Path, mappings);
}

namespace {

// A thread's wait for its answers.
struct WaitingAsker : Asker {
    explicit WaitingAsker(std::size_t count) : looks(count), left(count) {}

    void Take(quint64 id, quint64, FileLook look) override {
        const std::lock_guard<std::mutex> held(lock);
        if (closed) {
            return;
        }
        looks[id] = std::move(look);
        if (--left == 0) {
            answered.notify_one();
        }
    }

    std::mutex lock;
    std::condition_variable answered;
    std::vector<std::optional<FileLook>> looks;
    std::size_t left;
    bool closed = false;
};

constexpr auto kWaitStep = std::chrono::milliseconds(100);

}  // namespace

std::vector<std::optional<FileLook>> FileLooks::LookAll(const std::vector<std::string>& cp932Paths,
                                                        const FolderMappings& mappings,
                                                        const std::atomic<bool>& cancelled, LookFor lookFor) {
    const auto asker = std::make_shared<WaitingAsker>(cp932Paths.size());
    if (cp932Paths.empty()) {
        return {};
    }
    std::vector<FolderRoot> roots;
    for (const std::string& path : cp932Paths) {
        roots.push_back(RootOf(path, mappings));
    }
    {
        const std::lock_guard<std::mutex> held(state_->lock);
        for (std::size_t i = 0; i < cp932Paths.size(); ++i) {
            state_->Queue(asker, i, cp932Paths[i], roots[i], false, lookFor);
        }
    }
    const auto close = [&] {
        {
            const std::lock_guard<std::mutex> held(state_->lock);
            state_->Forget(*asker);
        }
        const std::lock_guard<std::mutex> held(asker->lock);
        asker->closed = true;
        return std::move(asker->looks);
    };
    for (;;) {
        {
            std::unique_lock<std::mutex> held(asker->lock);
            if (asker->answered.wait_for(held, kWaitStep, [&] { return asker->left == 0; })) {
                asker->closed = true;
                return std::move(asker->looks);
            }
        }
        if (cancelled) {
            return close();
        }
        // What waits on roots that do not answer is given up; the rest is waited for.
        std::size_t givenUp = 0;
        {
            const std::lock_guard<std::mutex> held(state_->lock);
            const Clock::time_point now = Clock::now();
            auto& questions = state_->outstanding[asker.get()];
            for (auto question = questions.begin(); question != questions.end();) {
                if (state_->NotAnswering(*question->second.root, now)) {
                    if (question->second.queued) {
                        question->second.root->queued.erase(*question->second.queued);
                    }
                    question = questions.erase(question);
                    ++givenUp;
                } else {
                    ++question;
                }
            }
        }
        if (givenUp > 0) {
            const std::lock_guard<std::mutex> held(asker->lock);
            asker->left -= givenUp;
            if (asker->left == 0) {
                break;
            }
        }
    }
    return close();
}

// The queue's answers, gathered until the window's thread takes them.
struct QueueAsker : Asker {
    void Take(quint64 id, quint64 takenEpoch, FileLook look) override {
        const std::lock_guard<std::mutex> held(lock);
        if (receiver == nullptr || takenEpoch != epochSeen) {
            return;
        }
        answers.emplace_back(id, std::move(look));
        if (!posted) {
            posted = true;
            FileLookQueue* to = receiver;
            QMetaObject::invokeMethod(
                to, [to] { to->Deliver(); }, Qt::QueuedConnection);
        }
    }

    std::mutex lock;
    FileLookQueue* receiver = nullptr;
    quint64 epochSeen = 0;  // the epoch whose answers are heard
    std::vector<FileLookQueue::Answer> answers;
    bool posted = false;
};

FileLookQueue::FileLookQueue(FileLooks& looks, QObject* parent)
    : QObject(parent),
      state_(looks.state_),
      asker_(std::make_shared<QueueAsker>()),
      watch_(new QTimer(this)) {
    asker_->receiver = this;
    watch_->setInterval(std::clamp<std::chrono::milliseconds>(
        state_->noAnswer / 4, std::chrono::milliseconds(20), std::chrono::milliseconds(1000)));
    connect(watch_, &QTimer::timeout, this, &FileLookQueue::TellNotAnswering);
}

FileLookQueue::~FileLookQueue() {
    {
        const std::lock_guard<std::mutex> held(state_->lock);
        state_->Forget(*asker_);
    }
    const std::lock_guard<std::mutex> held(asker_->lock);
    asker_->receiver = nullptr;
}

void FileLookQueue::Ask(const std::vector<Question>& questions, const FolderMappings& mappings, bool first) {
    if (questions.empty()) {
        return;
    }
    std::vector<FolderRoot> roots;
    for (const Question& question : questions) {
        roots.push_back(state_->RootOf(question.path, mappings));
    }
    {
        const std::lock_guard<std::mutex> held(state_->lock);
        for (std::size_t i = 0; i < questions.size(); ++i) {
            // Put first one by one, the first question ends up first.
            const std::size_t at = first ? questions.size() - 1 - i : i;
            state_->Queue(asker_, questions[at].id, questions[at].path, roots[at], first);
        }
    }
    watch_->start();
}

void FileLookQueue::Hurry(const std::vector<quint64>& ids) {
    const std::lock_guard<std::mutex> held(state_->lock);
    auto& questions = state_->outstanding[asker_.get()];
    for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
        const auto found = questions.find(*id);
        if (found != questions.end() && found->second.queued) {
            auto& queued = found->second.root->queued;
            queued.splice(queued.begin(), queued, *found->second.queued);
        }
    }
}

void FileLookQueue::Cancel() {
    {
        const std::lock_guard<std::mutex> held(state_->lock);
        state_->Forget(*asker_);
        ++asker_->epoch;
    }
    const std::lock_guard<std::mutex> held(asker_->lock);
    ++asker_->epochSeen;
    asker_->answers.clear();
    watch_->stop();
}

int FileLookQueue::Waiting() const {
    std::size_t waiting = 0;
    {
        const std::lock_guard<std::mutex> held(state_->lock);
        const auto found = state_->outstanding.find(asker_.get());
        waiting = found != state_->outstanding.end() ? found->second.size() : 0;
    }
    const std::lock_guard<std::mutex> held(asker_->lock);
    return static_cast<int>(waiting + asker_->answers.size());
}

void FileLookQueue::Deliver() {
    std::vector<Answer> answers;
    {
        const std::lock_guard<std::mutex> held(asker_->lock);
        answers.swap(asker_->answers);
        asker_->posted = false;
    }
    if (!answers.empty()) {
        emit Answered(answers);
    }
}

void FileLookQueue::TellNotAnswering() {
    std::map<QString, std::vector<quint64>> waitingOn;  // by the root's name
    bool waiting = false;
    {
        const std::lock_guard<std::mutex> held(state_->lock);
        const Clock::time_point now = Clock::now();
        auto& questions = state_->outstanding[asker_.get()];
        for (auto& [id, question] : questions) {
            if (!question.told && state_->NotAnswering(*question.root, now)) {
                question.told = true;
                waitingOn[question.root->name].push_back(id);
            }
        }
        waiting = !questions.empty();
    }
    if (!waiting) {
        watch_->stop();
    }
    for (const auto& [name, ids] : waitingOn) {
        emit NotAnswering(ids, name);
    }
}
