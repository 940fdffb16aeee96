#include "common/durable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "common/unique_file.h"

namespace {

// Makes a rename in the folder durable. A folder that cannot be opened leaves the rename to the
// file system's own schedule; the new file is complete either way.
void SyncFolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    const int handle = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle >= 0) {
        fsync(handle);
        close(handle);
    }
}

}  // namespace

DurableFile::DurableFile(std::string path, const std::string& temporaryStem, int mode)
    : path_(std::move(path)) {
    // A name of its own, so that no file or link someone else left beside it is written through.
    UniqueFile temporary = CreateUniqueFile(temporaryStem, mode);
    handle_ = temporary.handle;
    temporary_ = std::move(temporary.path);
}

DurableFile::~DurableFile() {
    Abandon();
}

bool DurableFile::Append(std::string_view bytes) {
    while (handle_ >= 0 && !bytes.empty()) {
        const ssize_t written = write(handle_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return handle_ >= 0;
}

bool DurableFile::Commit() {
    if (handle_ < 0) {
        return false;
    }
    // The bytes are on the disk before they replace the old file, and the rename is on the disk
    // before the write counts.
    const bool written = fsync(handle_) == 0;
    const bool closed = close(handle_) == 0;
    handle_ = -1;
    std::error_code error;
    if (written && closed) {
        std::filesystem::rename(temporary_, path_, error);
        if (!error) {
            SyncFolderOf(path_);
            return true;
        }
    }
    std::filesystem::remove(temporary_, error);
    return false;
}

void DurableFile::Abandon() {
    if (handle_ < 0) {
        return;
    }
    close(handle_);
    handle_ = -1;
    std::error_code error;
    std::filesystem::remove(temporary_, error);
}
