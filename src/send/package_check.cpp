#include "send/package_check.h"

#include <filesystem>
#include <optional>

#include "common/codepage.h"
#include "send/package_reading.h"
#include "send/piece_hasher.h"

namespace {

// What the first ZIP format's fields of sizes and offsets hold.
constexpr std::uintmax_t kFirstFormatLimit = 0xFFFFFFFF;

// Compares the entries `next` gives, in their order, until it gives none; then whether the package holds
// as many.
using NextEntry = std::function<std::optional<PackedFile>()>;
std::string Compare(PackageReading& reading, const NextEntry& next, const std::atomic<bool>& cancel,
                    const ReadTeller& readBytes) {
    PieceHasher sha;
    std::size_t index = 0;
    for (std::optional<PackedFile> file; !cancel && (file = next()); ++index) {
        const std::string name = Utf8FromCp932(file->name);
        std::int64_t size = -1;
        bool same = reading.Open(index, name, size) && size == file->size;
        if (same) {
            std::int64_t got = 0;
            std::int64_t total = 0;
            while (!cancel && (got = reading.Read(sha.Buffer(), kStreamPiece)) > 0) {
                sha.Add(static_cast<std::size_t>(got));
                total += got;
                readBytes(got);
            }
            same = reading.Close() && got == 0 && total == file->size && sha.HexDigest() == file->sha256;
        }
        if (!same && !cancel) {
            const std::string error = reading.Error();
            return (error.empty() ? "読み直した内容が一致しません:" : error) + " " + name;
        }
    }
    const std::int64_t count = cancel ? 0 : reading.Count();
    if (count < 0) {
        return "作成したパッケージを読み直せません。" + reading.Error();
    }
    return cancel || static_cast<std::size_t>(count) == index
               ? std::string()
               : "作成したパッケージのファイル数が一致しません。";
}

NextEntry Each(const std::vector<PackedFile>& files) {
    return [&files, at = std::size_t{0}]() mutable {
        return at < files.size() ? std::optional<PackedFile>(files[at++]) : std::nullopt;
    };
}

}  // namespace

std::string CheckZipPackage(const std::string& path, ZipNames names, const std::vector<PackedFile>& expected,
                            const std::atomic<bool>& cancel, const ReadTeller& readBytes) {
    // CP932 names are written by minizip, UTF-8 ones by libzip. Debian's minizip takes no ZIP64 size or
    // offset (its test for one never holds on a 64-bit system): an archive or a file of 4 GiB or more is
    // read back by libzip, which wrote it.
    std::error_code error;
    bool small = names == ZipNames::Utf8 && std::filesystem::file_size(path, error) < kFirstFormatLimit;
    for (const PackedFile& file : expected) {
        small = small && static_cast<std::uintmax_t>(file.size) < kFirstFormatLimit;
    }
    const std::unique_ptr<PackageReading> reading =
        small ? ReadZipWithMinizip(path) : ReadZipWithLibzip(path);
    return Compare(*reading, Each(expected), cancel, readBytes);
}

FolderCheckAlong::FolderCheckAlong(std::string root, const std::atomic<bool>& cancel)
    : thread_([this, root = std::move(root), &cancel] {
          problem_ = Compare(
              *ReadFolder(root), [this] { return Next(); }, cancel, [](std::int64_t) {});
      }) {}

FolderCheckAlong::~FolderCheckAlong() {
    Finish();
}

void FolderCheckAlong::Add(const PackedFile& file) {
    {
        std::lock_guard lock(mutex_);
        waiting_.push_back(file);
    }
    added_.notify_all();
}

std::string FolderCheckAlong::Finish() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    added_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    return problem_;
}

std::optional<PackedFile> FolderCheckAlong::Next() {
    std::unique_lock lock(mutex_);
    added_.wait(lock, [this] { return !waiting_.empty() || finished_; });
    if (waiting_.empty()) {
        return std::nullopt;
    }
    PackedFile file = std::move(waiting_.front());
    waiting_.pop_front();
    return file;
}
