#include <fcntl.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstring>

#include "common/codepage.h"
#include "send/disk_flush.h"
#include "send/error_words.h"
#include "send/package_check.h"
#include "send/zip_fields.h"
#include "send/zip_sink.h"

namespace {

constexpr zip_int64_t kWriteBackStep = 8 << 20;

// The archive's own bytes, as libzip writes them: straight into the temporary file, through a buffer
// of a piece (libzip writes a few kilobytes at a time and seeks back to each entry's header once its
// data is written).
class ArchiveFile {
public:
    explicit ArchiveFile(std::string path) : path_(std::move(path)), buffer_(kStreamPiece) {
        zip_error_init(&error_);
    }
    ~ArchiveFile() {
        Close();
        zip_error_fini(&error_);
    }

    static zip_int64_t Call(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
        return static_cast<ArchiveFile*>(state)->Answer(data, length, command);
    }

    const std::string& words() const { return words_; }

private:
    zip_int64_t Answer(void* data, zip_uint64_t length, zip_source_cmd_t command) {
        switch (command) {
            case ZIP_SOURCE_SUPPORTS:
                return zip_source_make_command_bitmap(
                    ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
                    ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_BEGIN_WRITE,
                    ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_WRITE,
                    ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_REMOVE, ZIP_SOURCE_SUPPORTS, -1);
            case ZIP_SOURCE_STAT:
                // A new archive: nothing of an old one is read.
                zip_error_set(&error_, ZIP_ER_READ, ENOENT);
                return -1;
            case ZIP_SOURCE_ERROR:
                return zip_error_to_data(&error_, data, length);
            case ZIP_SOURCE_BEGIN_WRITE:
                file_ = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
                start_ = 0;
                writtenBack_ = 0;
                buffered_ = 0;
                return file_ >= 0 ? 0 : Failed(errno);
            case ZIP_SOURCE_WRITE:
                return Append(static_cast<const char*>(data), length);
            case ZIP_SOURCE_SEEK_WRITE: {
                const auto* seek = ZIP_SOURCE_GET_ARGS(zip_source_args_seek_t, data, length, &error_);
                if (seek == nullptr || !Flush()) {
                    return -1;
                }
                const zip_int64_t base = seek->whence == SEEK_CUR ? start_ : 0;
                if (seek->whence == SEEK_END || base + seek->offset < 0) {
                    zip_error_set(&error_, ZIP_ER_INVAL, 0);
                    return -1;
                }
                start_ = base + seek->offset;
                return 0;
            }
            case ZIP_SOURCE_TELL_WRITE:
                return start_ + static_cast<zip_int64_t>(buffered_);
            case ZIP_SOURCE_COMMIT_WRITE: {
                if (!Flush()) {
                    return -1;
                }
                words_ = FlushToDisk(path_);
                Close();
                if (!words_.empty()) {
                    zip_error_set(&error_, ZIP_ER_WRITE, EIO);
                    return -1;
                }
                return 0;
            }
            case ZIP_SOURCE_ROLLBACK_WRITE:
                // What was written goes with the temporary package.
                Close();
                return 0;
            case ZIP_SOURCE_REMOVE:
            case ZIP_SOURCE_FREE:
                return 0;
            default:
                zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
                return -1;
        }
    }

    zip_int64_t Append(const char* bytes, zip_uint64_t length) {
        for (zip_uint64_t left = length; left > 0;) {
            if (buffered_ == buffer_.size() && !Flush()) {
                return -1;
            }
            const std::size_t part = std::min<std::size_t>(left, buffer_.size() - buffered_);
            std::memcpy(buffer_.data() + buffered_, bytes, part);
            buffered_ += part;
            bytes += part;
            left -= part;
        }
        return static_cast<zip_int64_t>(length);
    }

    bool Flush() {
        for (std::size_t done = 0; done < buffered_;) {
            const ssize_t written = ::pwrite(file_, buffer_.data() + done, buffered_ - done, start_);
            if (written < 0 && errno != EINTR) {
                Failed(errno);
                return false;
            }
            if (written > 0) {
                done += static_cast<std::size_t>(written);
                start_ += written;
            }
        }
        buffered_ = 0;
        // The disk starts on what was written now and then rather than all of it at the flush at the end.
        if (start_ - writtenBack_ >= kWriteBackStep) {
            ::sync_file_range(file_, writtenBack_, start_ - writtenBack_, SYNC_FILE_RANGE_WRITE);
            writtenBack_ = start_;
        }
        return true;
    }

    zip_int64_t Failed(int error) {
        words_ = ErrorWords(error);
        zip_error_set(&error_, ZIP_ER_WRITE, error);
        return -1;
    }

    void Close() {
        if (file_ >= 0) {
            ::close(file_);
            file_ = -1;
        }
    }

    std::string path_;
    int file_ = -1;
    std::vector<char> buffer_;
    zip_int64_t start_ = 0;        // where the buffer's bytes go
    zip_int64_t writtenBack_ = 0;  // up to where the disk was asked to write
    std::size_t buffered_ = 0;
    zip_error_t error_;
    std::string words_;
};

// One entry's bytes, pulled from the feed as libzip writes the entry. The feed is opened at libzip's
// first question (its size, just before the entry is written), so that the drawing lists are made
// only once every file before them has been read.
class EntrySource {
public:
    EntrySource(EntryFeed& feed, std::size_t index) : feed_(feed), index_(index) { zip_error_init(&error_); }
    ~EntrySource() { zip_error_fini(&error_); }
    EntrySource(const EntrySource&) = delete;
    EntrySource& operator=(const EntrySource&) = delete;

    static zip_int64_t Call(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
        return static_cast<EntrySource*>(state)->Answer(data, length, command);
    }

private:
    zip_int64_t Answer(void* data, zip_uint64_t length, zip_source_cmd_t command) {
        switch (command) {
            case ZIP_SOURCE_SUPPORTS:
                return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                      ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
            case ZIP_SOURCE_STAT: {
                auto* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error_);
                if (stat == nullptr || !Opened()) {
                    return -1;
                }
                stat->size = static_cast<zip_uint64_t>(size_);
                stat->valid |= ZIP_STAT_SIZE;
                return 0;
            }
            case ZIP_SOURCE_OPEN:
                return Opened() ? 0 : -1;
            case ZIP_SOURCE_READ:
                return Read(static_cast<char*>(data), length);
            case ZIP_SOURCE_CLOSE:
                feed_.Close();
                return 0;
            case ZIP_SOURCE_ERROR:
                return zip_error_to_data(&error_, data, length);
            case ZIP_SOURCE_FREE:
                return 0;
            default:
                zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
                return -1;
        }
    }

    // libzip takes a few kilobytes at a time from the feed's pieces.
    zip_int64_t Read(char* into, zip_uint64_t length) {
        if (left_ == 0) {
            left_ = feed_.Read(piece_);
            if (left_ < 0) {
                left_ = 0;
                zip_error_set(&error_, ZIP_ER_READ, 0);
                return -1;
            }
        }
        const auto part =
            static_cast<std::size_t>(std::min<std::int64_t>(left_, static_cast<std::int64_t>(length)));
        std::memcpy(into, piece_, part);
        piece_ += part;
        left_ -= static_cast<std::int64_t>(part);
        return static_cast<zip_int64_t>(part);
    }

    bool Opened() {
        if (!opened_) {
            if (!feed_.Open(index_)) {
                zip_error_set(&error_, ZIP_ER_READ, 0);
                return false;
            }
            opened_ = true;
            size_ = feed_.Size();
        }
        return true;
    }

    EntryFeed& feed_;
    std::size_t index_;
    bool opened_ = false;
    std::int64_t size_ = 0;
    const char* piece_ = nullptr;  // what is left of the feed's piece
    std::int64_t left_ = 0;
    zip_error_t error_;
};

int Cancelled(zip_t*, void* cancel) {
    return *static_cast<const std::atomic<bool>*>(cancel) ? 1 : 0;
}

class Utf8ZipSink : public PackageSink {
public:
    explicit Utf8ZipSink(std::string path) : archive_(std::move(path)) {}

    bool Write(const std::vector<PackageEntry>& entries, EntryFeed& feed,
               const std::atomic<bool>& cancel) override {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* target = zip_source_function_create(&ArchiveFile::Call, &archive_, &error);
        zip_t* zip =
            target != nullptr ? zip_open_from_source(target, ZIP_CREATE | ZIP_TRUNCATE, &error) : nullptr;
        if (zip == nullptr) {
            error_ = zip_error_strerror(&error);
            zip_source_free(target);
            zip_error_fini(&error);
            return false;
        }
        zip_error_fini(&error);
        zip_register_cancel_callback_with_state(zip, Cancelled, nullptr,
                                                const_cast<std::atomic<bool>*>(&cancel));
        sources_.clear();
        bool added = true;
        for (std::size_t i = 0; i < entries.size() && added; ++i) {
            added = Add(zip, entries[i], feed, i);
        }
        if (added && zip_close(zip) == 0) {
            return true;
        }
        error_ = !archive_.words().empty() ? archive_.words() : zip_strerror(zip);
        zip_discard(zip);
        return false;
    }

    std::string Error() const override { return error_; }

private:
    bool Add(zip_t* zip, const PackageEntry& entry, EntryFeed& feed, std::size_t index) {
        sources_.push_back(std::make_unique<EntrySource>(feed, index));
        zip_source_t* source = zip_source_function(zip, &EntrySource::Call, sources_.back().get());
        const zip_int64_t at =
            source != nullptr ? zip_file_add(zip, Utf8FromCp932(entry.name).c_str(), source, ZIP_FL_ENC_UTF_8)
                              : -1;
        if (at < 0) {
            zip_source_free(source);
            return false;
        }
        const auto added = static_cast<zip_uint64_t>(at);
        const std::string timestamp = ExtendedTimestamp(entry.modified);
        const bool stored = IsStoredKind(entry.name);
        return zip_set_file_compression(zip, added, stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                        stored ? 0 : kDeflateLevel) == 0 &&
               zip_file_set_mtime(zip, added, static_cast<time_t>(entry.modified), 0) == 0 &&
               zip_file_set_external_attributes(zip, added, 0, ZIP_OPSYS_UNIX, kRegularFileMode << 16) == 0 &&
               zip_file_extra_field_set(zip, added, kExtendedTimestampId, ZIP_EXTRA_FIELD_NEW,
                                        reinterpret_cast<const zip_uint8_t*>(timestamp.data()),
                                        static_cast<zip_uint16_t>(timestamp.size()),
                                        ZIP_FL_LOCAL | ZIP_FL_CENTRAL) == 0;
    }

    ArchiveFile archive_;
    std::vector<std::unique_ptr<EntrySource>> sources_;  // as long as the archive is written
    std::string error_;
};

}  // namespace

std::unique_ptr<PackageSink> MakeUtf8ZipSink(const std::string& path) {
    return std::make_unique<Utf8ZipSink>(path);
}
