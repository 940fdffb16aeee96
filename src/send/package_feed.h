#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "send/package_check.h"
#include "send/piece_hasher.h"
#include "send/send_job.h"

// What a package holds, given entry after entry to the writer of its kind: first the registered files,
// read where they are (only read), each hashed on a thread of its own as it is read and written, and
// whole only when it is still the file the survey looked at; then the drawing lists, made once every
// file before them was read.
class PackageFeed : public EntryFeed {
public:
    // Makes list `list` of the files read so far; nothing, `error` saying why, when it cannot be made.
    using ListMaker = std::function<std::optional<std::string>(
        std::size_t list, const std::vector<PackedFile>& files, std::string& error)>;
    using Tell = std::function<void(const SendProgress&)>;

    // `files` are the files to copy and `names` every entry's name, the lists' after theirs. `progress`
    // counts the files and bytes read, and `tell` hears of it as each file begins and after each piece.
    PackageFeed(std::vector<SurveyedFile> files, std::vector<std::string> names, ListMaker lists,
                const std::atomic<bool>& cancel, SendProgress& progress, Tell tell);
    ~PackageFeed() override;

    bool Open(std::size_t entry) override;
    std::int64_t Size() const override { return size_; }
    std::int64_t Read(const char*& bytes) override;
    void Close() override;
    std::string Error() const override { return error_; }

    // Every entry given whole so far, in order.
    const std::vector<PackedFile>& packed() const { return packed_; }
    // Hears of each entry once all of it was given: then the writer has all of its bytes.
    std::function<void(const PackedFile& entry)> onWhole;

private:
    std::int64_t Ended();
    void Whole(std::string sha256);
    bool Failed(std::string words);

    std::vector<SurveyedFile> files_;
    std::vector<std::string> names_;
    ListMaker lists_;
    const std::atomic<bool>& cancel_;
    SendProgress& progress_;
    Tell tell_;

    std::size_t entry_ = 0;
    int source_ = -1;
    std::optional<std::string> made_;  // the bytes of a list
    std::int64_t size_ = 0;
    std::int64_t given_ = 0;
    bool ended_ = false;
    PieceHasher sha_;
    std::vector<PackedFile> packed_;
    std::string error_;
};
