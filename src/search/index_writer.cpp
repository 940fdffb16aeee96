#include "search/index_writer.h"

#include <algorithm>
#include <utility>

namespace {

// Reading runs at most about this many rows ahead of writing.
constexpr long long kRowsAhead = 10000;

}  // namespace

IndexWriter::IndexWriter(std::function<bool()> given, Committed committed)
    : given_(std::move(given)), committed_(std::move(committed)), thread_([this] { Run(); }) {}

IndexWriter::~IndexWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void IndexWriter::Run() {
    while (true) {
        std::vector<Job> batch;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            if (queue_.front().alone) {
                batch.push_back(std::move(queue_.front()));
                queue_.pop_front();
            } else {
                while (!queue_.empty() && !queue_.front().alone) {
                    batch.push_back(std::move(queue_.front()));
                    queue_.pop_front();
                }
            }
        }
        if (batch.front().alone) {
            batch.front().alone();
        } else {
            Commit(batch);
        }
        {
            const std::lock_guard lock(mutex_);
            for (const Job& job : batch) {
                queuedRows_ -= job.rows;
            }
        }
        changed_.notify_all();
    }
}

void IndexWriter::Commit(std::vector<Job>& batch) {
    bool done = file_ != nullptr && file_->Begin();
    for (Job& job : batch) {
        done = done && job.write(*file_);
    }
    done = file_ != nullptr && file_->End() && done;
    if (done) {
        std::vector<std::string> tables;
        long long note = 0;
        for (Job& job : batch) {
            tables.insert(tables.end(), job.tables.begin(), job.tables.end());
            note = std::max(note, job.note);
        }
        committed_(tables, note);
        return;
    }
    const std::lock_guard lock(mutex_);
    failed_ = true;
    damaged_ = damaged_ || (file_ != nullptr && file_->FoundDamaged());
}

template <typename Answer>
Answer IndexWriter::After(std::function<Answer()> work) {
    std::promise<Answer> answer;
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(Job{{}, {}, 0, 0, [&] { answer.set_value(work()); }});
    }
    changed_.notify_all();
    return answer.get_future().get();
}

IndexWriter::Held IndexWriter::ReadHeld() {
    return Held{file_->Tables(), file_->Complete()};
}

std::optional<IndexWriter::Held> IndexWriter::Open(const std::filesystem::path& path,
                                                   const std::string& identity) {
    return After<std::optional<Held>>([&]() -> std::optional<Held> {
        file_ = IndexFile::OpenToKeep(path, identity, given_);
        {
            const std::lock_guard lock(mutex_);
            failed_ = false;
            damaged_ = false;
        }
        if (file_) {
            file_->GiveUpWhen(given_);
            return ReadHeld();
        }
        return std::nullopt;
    });
}

void IndexWriter::Close(bool remove) {
    After<bool>([&] {
        if (file_ && remove) {
            const std::filesystem::path path = file_->Path();
            file_.reset();
            IndexFile::Remove(path);
        }
        file_.reset();
        return true;
    });
}

void IndexWriter::Flush() {
    After<bool>([] { return true; });
}

bool IndexWriter::Failed() {
    const std::lock_guard lock(mutex_);
    return failed_;
}

std::optional<IndexWriter::Held> IndexWriter::Recover() {
    return After<std::optional<Held>>([&]() -> std::optional<Held> {
        bool damaged = false;
        {
            const std::lock_guard lock(mutex_);
            failed_ = false;
            damaged = std::exchange(damaged_, false);
        }
        if (file_ && !damaged) {
            return ReadHeld();
        }
        if (file_) {
            const std::filesystem::path path = file_->Path();
            file_.reset();
            IndexFile::Remove(path);
        }
        return std::nullopt;
    });
}

void IndexWriter::Queue(Write write, std::vector<std::string> tables, long long rows, long long note) {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopping_ || queuedRows_ < kRowsAhead; });
        queuedRows_ += rows;
        queue_.push_back(Job{std::move(write), std::move(tables), rows, note, {}});
    }
    changed_.notify_all();
}
