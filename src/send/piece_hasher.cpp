#include "send/piece_hasher.h"

#include "send/package_check.h"

namespace {

// Pieces under way at once: the one being read, and the last read while it is written and hashed.
constexpr std::size_t kBuffers = 4;

}  // namespace

PieceHasher::PieceHasher()
    : buffers_(kBuffers, std::vector<char>(kStreamPiece)), sizes_(kBuffers), thread_([this] { Hash(); }) {}

PieceHasher::~PieceHasher() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

char* PieceHasher::Buffer() {
    std::unique_lock lock(mutex_);
    // One that no piece waiting to be hashed is in: the reader is done with it once it takes another.
    changed_.wait(lock, [this] { return added_ - hashed_ < kBuffers; });
    return buffers_[added_ % kBuffers].data();
}

void PieceHasher::Add(std::size_t size) {
    {
        std::lock_guard lock(mutex_);
        sizes_[added_ % kBuffers] = size;
        ++added_;
    }
    changed_.notify_all();
}

std::string PieceHasher::HexDigest() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return hashed_ == added_; });
    return sha_.HexDigest();
}

void PieceHasher::Hash() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return hashed_ < added_ || ending_; });
        if (hashed_ == added_) {
            return;
        }
        const std::size_t at = hashed_ % kBuffers;
        lock.unlock();
        sha_.Add(buffers_[at].data(), sizes_[at]);
        lock.lock();
        ++hashed_;
        changed_.notify_all();
    }
}
