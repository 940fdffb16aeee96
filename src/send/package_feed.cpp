#include "send/package_feed.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/codepage.h"
#include "send/error_words.h"

PackageFeed::PackageFeed(std::vector<SurveyedFile> files, std::vector<std::string> names, ListMaker lists,
                         const std::atomic<bool>& cancel, SendProgress& progress, Tell tell)
    : files_(std::move(files)),
      names_(std::move(names)),
      lists_(std::move(lists)),
      cancel_(cancel),
      progress_(progress),
      tell_(std::move(tell)) {}

PackageFeed::~PackageFeed() {
    Close();
}

bool PackageFeed::Open(std::size_t entry) {
    Close();
    entry_ = entry;
    given_ = 0;
    ended_ = false;
    if (entry >= files_.size()) {
        made_ = lists_(entry - files_.size(), packed_, error_);
        size_ = made_ ? static_cast<std::int64_t>(made_->size()) : 0;
        return made_.has_value();
    }
    const SurveyedFile& file = files_[entry];
    progress_.current = Utf8FromCp932(names_[entry]);
    tell_(progress_);
    source_ = ::open(file.source.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat facts {};
    if (source_ < 0 || ::fstat(source_, &facts) != 0) {
        return Failed(ErrorWords(errno) + " " + file.source);
    }
    if (!S_ISREG(facts.st_mode) || StampOf(facts) != file.stamp) {
        return Failed("送付の準備の後にファイルが変更されました: " + file.source);
    }
    ::posix_fadvise(source_, 0, 0, POSIX_FADV_SEQUENTIAL);
    size_ = file.stamp.size;
    return true;
}

std::int64_t PackageFeed::Read(const char*& bytes) {
    if (cancel_) {
        return -1;
    }
    if (made_) {
        if (given_ == size_) {
            if (!ended_) {
                Whole(Sha256Of(*made_));
            }
            return 0;
        }
        given_ = size_;
        bytes = made_->data();
        return size_;
    }
    if (ended_) {
        return 0;
    }
    char* piece = sha_.Buffer();
    ssize_t got = 0;
    do {
        got = ::read(source_, piece, kStreamPiece);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        Failed(ErrorWords(errno) + " " + files_[entry_].source);
        return -1;
    }
    if (got == 0) {
        return Ended();
    }
    sha_.Add(static_cast<std::size_t>(got));
    given_ += got;
    progress_.bytesDone += got;
    tell_(progress_);
    bytes = piece;
    return got;
}

// The file read to its end is whole when it is still what the survey saw.
std::int64_t PackageFeed::Ended() {
    struct stat facts {};
    const SurveyedFile& file = files_[entry_];
    if (::fstat(source_, &facts) != 0 || StampOf(facts) != file.stamp || given_ != file.stamp.size) {
        Failed("送付中にファイルが変更されました: " + file.source);
        return -1;
    }
    Whole(sha_.HexDigest());
    ++progress_.filesDone;
    return 0;
}

void PackageFeed::Whole(std::string sha256) {
    ended_ = true;
    packed_.push_back({names_[entry_], given_, std::move(sha256)});
    if (onWhole) {
        onWhole(packed_.back());
    }
}

void PackageFeed::Close() {
    if (source_ >= 0) {
        ::close(source_);
        source_ = -1;
        if (!ended_) {
            sha_.HexDigest();  // starts it again for the next file
        }
    }
    made_.reset();
}

bool PackageFeed::Failed(std::string words) {
    error_ = std::move(words);
    return false;
}
