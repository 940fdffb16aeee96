#include "send/folder_sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/codepage.h"
#include "send/disk_flush.h"
#include "send/error_words.h"

namespace {

class FolderSink : public PackageSink {
public:
    explicit FolderSink(std::string root) : root_(std::move(root)) {}

    bool Write(const std::vector<PackageEntry>& entries, EntryFeed& feed,
               const std::atomic<bool>& cancel) override {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (cancel || !WriteEntry(entries[i], i, feed)) {
                return false;
            }
        }
        error_ = FlushToDisk(root_);
        return error_.empty();
    }

    std::string Error() const override { return error_; }

private:
    bool WriteEntry(const PackageEntry& entry, std::size_t index, EntryFeed& feed) {
        const std::string path = root_ + "/" + Utf8FromCp932(entry.name);
        if (!MakeFolders(path) || !feed.Open(index)) {
            return false;
        }
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        bool written = file >= 0 || Failed();
        std::int64_t got = 0;
        const char* piece = nullptr;
        while (written && (got = feed.Read(piece)) > 0) {
            written = WriteAll(file, piece, static_cast<std::size_t>(got));
        }
        feed.Close();
        // The disk starts on it now rather than at the flush at the end, while the next files are copied.
        if (written && file >= 0) {
            ::sync_file_range(file, 0, 0, SYNC_FILE_RANGE_WRITE);
        }
        if (file >= 0) {
            const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(entry.modified), 0}};
            written = written && (::futimens(file, times) == 0 || Failed());
            // A share tells of a full disk as late as at the close.
            written = ::close(file) == 0 ? written : Failed();
        }
        return written && got == 0;
    }

    bool WriteAll(int file, const char* bytes, std::size_t size) {
        while (size > 0) {
            const ssize_t written = ::write(file, bytes, size);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Failed();
            }
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
        return true;
    }

    // The folders above `path` inside the root.
    bool MakeFolders(const std::string& path) {
        for (std::size_t slash = path.find('/', root_.size() + 1); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            if (::mkdir(path.substr(0, slash).c_str(), 0777) != 0 && errno != EEXIST) {
                return Failed();
            }
        }
        return true;
    }

    bool Failed() {
        error_ = ErrorWords(errno);
        return false;
    }

    std::string root_;
    std::string error_;
};

}  // namespace

std::unique_ptr<PackageSink> MakeFolderSink(const std::string& root) {
    return std::make_unique<FolderSink>(root);
}
