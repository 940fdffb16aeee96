#include "send/folder_sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "send/error_words.h"

#include "common/codepage.h"

namespace {

class FolderSink : public PackageSink {
public:
    explicit FolderSink(std::string root) : root_(std::move(root)) {}
    ~FolderSink() override { CloseFile(); }

    bool BeginEntry(const std::string& name, std::int64_t, std::int64_t modified) override {
        const std::string path = root_ + "/" + Utf8FromCp932(name);
        if (!MakeFolders(path)) {
            return false;
        }
        file_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        modified_ = modified;
        return file_ >= 0 || Failed();
    }

    bool Write(const char* bytes, std::size_t size) override {
        while (size > 0) {
            const ssize_t written = ::write(file_, bytes, size);
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

    bool EndEntry() override {
        const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(modified_), 0}};
        const bool timed = ::futimens(file_, times) == 0 || Failed();
        return CloseFile() && timed;
    }

    bool Finish() override {
        // One flush of the whole file system rather than one a file: thousands of small files.
        const int folder = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool synced = folder >= 0 && ::syncfs(folder) == 0;
        if (!synced) {
            Failed();
        }
        if (folder >= 0) {
            ::close(folder);
        }
        return synced;
    }

    std::string Error() const override { return error_; }

private:
    bool Failed() {
        error_ = ErrorWords(errno);
        return false;
    }

    bool CloseFile() {
        if (file_ < 0) {
            return true;
        }
        // A share tells of a full disk as late as at the close.
        const bool closed = ::close(file_) == 0 || Failed();
        file_ = -1;
        return closed;
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

    std::string root_;
    int file_ = -1;
    std::int64_t modified_ = 0;
    std::string error_;
};

}  // namespace

std::unique_ptr<PackageSink> MakeFolderSink(const std::string& root) {
    return std::make_unique<FolderSink>(root);
}
