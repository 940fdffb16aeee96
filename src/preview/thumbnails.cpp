#include "preview/thumbnails.h"

#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <list>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

#include "preview/picture_sources.h"
#include "preview/thumbnail_maker.h"

namespace {

QString KeyOf(const QString& path, int size) {
    return QString::number(size) + QLatin1Char(':') + path;
}

constexpr int kExitWaitMs = 2000;
constexpr int kMostExtraWorkers = 8;

}  // namespace

// What the window's thread and the workers share, under one lock.
struct ThumbnailJobs : std::enable_shared_from_this<ThumbnailJobs> {
    struct Job {
        QString path;
        int size = 0;
        QString key;
        std::optional<FileVersion> known;  // a kept thumbnail's file: only a change makes it anew
    };
    // Each lane of picture sources has workers of its own: the PDF files' one worker at a time, the
    // others' one for each core.
    struct Lane {
        std::list<Job> inView;
        std::list<Job> rest;
        QThreadPool* pool = nullptr;
        int workers = 0;
        int baseWorkers = 1;
        int mostWorkers = 1;
        int onRest = 0;  // workers on jobs of the rest
    };
    struct Place {
        Lane* lane;
        std::list<Job>* list;
        std::list<Job>::iterator job;
    };

    std::shared_ptr<const ThumbnailMaker> maker;
    std::mutex lock;
    std::array<Lane, 2> lanes;  // by PictureLane
    std::unordered_map<QString, Place> queued;
    struct Running {
        std::chrono::steady_clock::time_point since;
        quint64 generation = 0;  // a job of an earlier one is not waited for: its answer goes unheard
        const Lane* lane = nullptr;
    };
    std::unordered_map<QString, Running> running;
    quint64 generation = 0;
    Thumbnails* receiver = nullptr;
    // The rest, queued by a worker once nothing in view waits: the window's thread never queues
    // thousands of files, and the rows in view never wait behind them.
    QStringList later;
    int laterSize = 0;
    std::unordered_map<QString, bool> answered;  // this generation's answers, by key, for `later`

    Lane& LaneOf(const QString& path) { return lanes[static_cast<std::size_t>(::LaneOf(path))]; }
    Lane& General() { return lanes[static_cast<std::size_t>(PictureLane::General)]; }
    // The rest take one worker fewer than there are, so that one core is left to the windows.
    static int MostOnRest(const Lane& lane) { return std::max(1, lane.mostWorkers - 1); }

    // Under the lock: puts the job first in view, or last of the rest, unless it is queued already
    // (then a job asked for in view moves to the front).
    void Queue(const QString& path, int size, bool inView, const std::optional<FileVersion>& known = {}) {
        const QString key = KeyOf(path, size);
        if (const auto under = running.find(key);
            under != running.end() && under->second.generation == generation) {
            return;
        }
        const auto found = queued.find(key);
        if (found != queued.end()) {
            Place& place = found->second;
            if (!known) {
                place.job->known.reset();  // made anew, not only checked
            }
            if (!inView) {
                return;
            }
            place.lane->inView.splice(place.lane->inView.begin(), *place.list, place.job);
            place.list = &place.lane->inView;
            return;
        }
        Lane& lane = LaneOf(path);
        std::list<Job>& list = inView ? lane.inView : lane.rest;
        const auto job = list.insert(inView ? list.begin() : list.end(), Job{path, size, key, known});
        queued.emplace(key, Place{&lane, &list, job});
        StartWorker(lane);
    }

    void StartWorker(Lane& lane);
    void Work(Lane& lane);
};

void ThumbnailJobs::StartWorker(Lane& lane) {
    if (lane.workers >= lane.mostWorkers || receiver == nullptr) {
        return;
    }
    ++lane.workers;
    // The workers keep what they share alive, also past the window's end.
    lane.pool->start([self = shared_from_this(), &lane] { self->Work(lane); });
}

// One worker: takes jobs until none is left.
void ThumbnailJobs::Work(Lane& lane) {
    for (;;) {
        Job job;
        quint64 takenIn = 0;
        bool onRest = false;
        {
            const std::lock_guard<std::mutex> held(lock);
            if (lane.inView.empty() && !later.isEmpty()) {
                const QStringList paths = std::exchange(later, QStringList());
                for (const QString& path : paths) {
                    if (answered.count(KeyOf(path, laterSize)) == 0) {  // the rows in view, made already
                        Queue(path, laterSize, false);
                    }
                }
            }
            const bool inView = !lane.inView.empty();
            std::list<Job>& list = inView ? lane.inView : lane.rest;
            if (list.empty() || lane.workers > lane.mostWorkers ||
                (!inView && lane.onRest >= MostOnRest(lane))) {
                --lane.workers;
                return;
            }
            job = std::move(list.front());
            list.pop_front();
            queued.erase(job.key);
            running[job.key] = Running{std::chrono::steady_clock::now(), generation, &lane};
            takenIn = generation;
            lane.onRest += inView ? 0 : 1;
            onRest = !inView;
        }
        const MadeThumbnail made = maker->Make(job.path, job.size, job.known);
        const std::lock_guard<std::mutex> held(lock);
        if (const auto under = running.find(job.key);
            under != running.end() && under->second.generation == takenIn) {
            running.erase(under);
        }
        lane.onRest -= onRest ? 1 : 0;
        if (receiver != nullptr && takenIn == generation) {
            answered.emplace(job.key, true);
            Thumbnails* to = receiver;
            QMetaObject::invokeMethod(
                to, [to, path = job.path, size = job.size, made] { to->Deliver(path, size, made); },
                Qt::QueuedConnection);
        }
    }
}

Thumbnails::Thumbnails(std::shared_ptr<const ThumbnailMaker> maker, QObject* parent)
    : QObject(parent), jobs_(std::make_shared<ThumbnailJobs>()), kept_(kMemoryKiB), watch_(new QTimer(this)) {
    jobs_->maker = std::move(maker);
    jobs_->receiver = this;
    jobs_->General().baseWorkers = std::max(2, QThread::idealThreadCount());
    for (ThumbnailJobs::Lane& lane : jobs_->lanes) {
        lane.pool = new QThreadPool;
        lane.mostWorkers = lane.baseWorkers;
        lane.pool->setMaxThreadCount(lane.baseWorkers + kMostExtraWorkers);
    }
    watch_->setInterval(1000);
    connect(watch_, &QTimer::timeout, this, &Thumbnails::CountStuckJobs);
}

Thumbnails::~Thumbnails() {
    Cancel();
    {
        const std::lock_guard<std::mutex> held(jobs_->lock);
        jobs_->receiver = nullptr;
    }
    for (ThumbnailJobs::Lane& lane : jobs_->lanes) {
        // A worker stuck in a read of a dead mount keeps its pool: it is left to the end of the
        // process rather than waited for.
        if (lane.pool->waitForDone(kExitWaitMs)) {
            delete lane.pool;
        }
    }
}

QPixmap Thumbnails::Get(const QString& path, int size, bool inView) {
    Kept* kept = kept_.object(KeyOf(path, size));
    if (kept != nullptr && kept->lookedAt == lookRound_) {
        return kept->pixmap;
    }
    std::optional<FileVersion> known;
    if (kept != nullptr) {
        kept->lookedAt = lookRound_;
        // One that could not be made for a reason of the moment is made again.
        if (!kept->forNow) {
            known = kept->file;
        }
    }
    {
        const std::lock_guard<std::mutex> held(jobs_->lock);
        jobs_->Queue(path, size, inView, known);
    }
    if (!watch_->isActive()) {
        watch_->start();
    }
    return kept != nullptr ? kept->pixmap : QPixmap();
}

bool Thumbnails::Known(const QString& path, int size) const {
    return kept_.contains(KeyOf(path, size));
}

void Thumbnails::AskForAll(const QStringList& paths, int size) {
    {
        const std::lock_guard<std::mutex> held(jobs_->lock);
        jobs_->later = paths;
        jobs_->laterSize = size;
        jobs_->StartWorker(jobs_->General());
    }
    if (!watch_->isActive()) {
        watch_->start();
    }
}

void Thumbnails::LookAgain() {
    ++lookRound_;
    emit LookingAgain();
}

void Thumbnails::Cancel() {
    const std::lock_guard<std::mutex> held(jobs_->lock);
    ++jobs_->generation;
    for (ThumbnailJobs::Lane& lane : jobs_->lanes) {
        lane.inView.clear();
        lane.rest.clear();
    }
    jobs_->queued.clear();
    jobs_->later.clear();
    jobs_->answered.clear();
    kept_.clear();
}

int Thumbnails::Waiting() const {
    const std::lock_guard<std::mutex> held(jobs_->lock);
    return static_cast<int>(jobs_->queued.size() + jobs_->running.size() + jobs_->later.size());
}

void Thumbnails::Deliver(const QString& path, int size, const MadeThumbnail& made) {
    if (made.unchanged) {
        return;  // what is kept still shows the file
    }
    // A file without thumbnail is kept too, as a null pixmap, so that it is not asked for again.
    auto* kept = new Kept{QPixmap::fromImage(made.picture), made.file, made.forNow, lookRound_};
    const qint64 cost = std::max<qint64>(1, qint64{kept->pixmap.width()} * kept->pixmap.height() * 4 / 1024);
    kept_.insert(KeyOf(path, size), kept, cost);
    emit Arrived(path, size);
}

// A worker whose file takes longer than any should (a dead mount) is given up: another worker
// takes its place in its lane, so that the other files do not wait for it.
void Thumbnails::CountStuckJobs() {
    const auto now = std::chrono::steady_clock::now();
    const std::lock_guard<std::mutex> held(jobs_->lock);
    for (ThumbnailJobs::Lane& lane : jobs_->lanes) {
        const auto stuck = std::count_if(jobs_->running.begin(), jobs_->running.end(), [&](const auto& job) {
            return job.second.lane == &lane && now - job.second.since > std::chrono::seconds(kGiveUpSeconds);
        });
        lane.mostWorkers = lane.baseWorkers + std::min<int>(static_cast<int>(stuck), kMostExtraWorkers);
        while (lane.workers < lane.mostWorkers && !(lane.inView.empty() && lane.rest.empty())) {
            const int before = lane.workers;
            jobs_->StartWorker(lane);
            if (lane.workers == before) {
                break;
            }
        }
    }
    if (jobs_->running.empty() && jobs_->queued.empty()) {
        watch_->stop();
    }
}
