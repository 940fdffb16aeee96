#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "send/error_words.h"
#include "send/package_reading.h"

namespace {

class FolderReading : public PackageReading {
public:
    explicit FolderReading(std::string root) : root_(std::move(root)) {}
    ~FolderReading() override { Close(); }

    std::int64_t Count() override {
        std::error_code error;
        std::int64_t files = 0;
        for (std::filesystem::recursive_directory_iterator entry(root_, error), end; !error && entry != end;
             entry.increment(error)) {
            files += entry->is_regular_file(error) ? 1 : 0;
        }
        if (error) {
            error_ = ErrorWords(error.value());
            return -1;
        }
        return files;
    }

    bool Open(std::size_t, const std::string& name, std::int64_t& size) override {
        file_ = ::open((root_ + "/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        struct stat facts {};
        if (file_ < 0 || ::fstat(file_, &facts) != 0) {
            error_ = ErrorWords(errno);
            return false;
        }
        ::posix_fadvise(file_, 0, 0, POSIX_FADV_SEQUENTIAL);
        size = facts.st_size;
        return true;
    }

    std::int64_t Read(char* into, std::size_t size) override {
        ssize_t got = 0;
        do {
            got = ::read(file_, into, size);
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            error_ = ErrorWords(errno);
        }
        return got;
    }

    bool Close() override {
        if (file_ >= 0) {
            ::close(file_);
            file_ = -1;
        }
        return true;
    }

    std::string Error() const override { return error_; }

private:
    std::string root_;
    int file_ = -1;
    std::string error_;
};

}  // namespace

std::unique_ptr<PackageReading> ReadFolder(const std::string& root) {
    return std::make_unique<FolderReading>(root);
}
