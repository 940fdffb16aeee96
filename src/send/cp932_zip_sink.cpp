#include <minizip/zip.h>
#include <zlib.h>

#include <cerrno>
#include <ctime>

#include "common/codepage.h"
#include "send/disk_flush.h"
#include "send/error_words.h"
#include "send/zip_fields.h"
#include "send/zip_sink.h"

// zlib's minizip: libzip writes the Unicode Path field itself, and only with UTF-8 in the header.

namespace {

// Made on a Unix system, to version 4.5 of the format (ZIP64 sizes): the permissions are read.
constexpr int kVersionMadeBy = (3 << 8) | 45;
// Where one file alone may pass the first format's 4 GiB, ZIP64 sizes are kept for it from its start.
constexpr std::int64_t kZip64FileSize = 0xF0000000ll;

// The Info-ZIP Unicode Path extra field (0x7075): version 1, the CRC-32 of the name as the header
// holds it, the name in UTF-8.
std::string UnicodePath(const std::string& headerName, const std::string& utf8Name) {
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(headerName.data()), static_cast<uInt>(headerName.size()));
    std::string data(1, '\x01');
    for (int i = 0; i < 4; ++i) {
        data += static_cast<char>((crc >> (8 * i)) & 0xFF);
    }
    return ExtraField(0x7075, data + utf8Name);
}

zip_fileinfo FileInfo(std::int64_t modified) {
    zip_fileinfo info{};
    const time_t time = static_cast<time_t>(modified);
    struct tm local {};
    if (localtime_r(&time, &local) != nullptr) {
        info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
        info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
        info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
        info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
        info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
        info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
    }
    info.external_fa = static_cast<uLong>(kRegularFileMode) << 16;
    return info;
}

class Cp932ZipSink : public PackageSink {
public:
    explicit Cp932ZipSink(std::string path) : path_(std::move(path)) {}

    bool Write(const std::vector<PackageEntry>& entries, EntryFeed& feed,
               const std::atomic<bool>& cancel) override {
        zipFile zip = zipOpen64(path_.c_str(), APPEND_STATUS_CREATE);
        if (zip == nullptr) {
            return Failed();
        }
        bool written = true;
        for (std::size_t i = 0; i < entries.size() && written && !cancel; ++i) {
            written = WriteEntry(zip, entries[i], feed, i);
        }
        if (zipClose(zip, nullptr) != ZIP_OK) {
            return Failed();
        }
        if (!written || cancel) {
            return false;
        }
        error_ = FlushToDisk(path_);
        return error_.empty();
    }

    std::string Error() const override { return error_; }

private:
    bool WriteEntry(zipFile zip, const PackageEntry& entry, EntryFeed& feed, std::size_t index) {
        if (!feed.Open(index)) {
            return false;
        }
        const std::string extra = ExtraField(kExtendedTimestampId, ExtendedTimestamp(entry.modified)) +
                                  UnicodePath(entry.name, Utf8FromCp932(entry.name));
        const zip_fileinfo info = FileInfo(entry.modified);
        const bool stored = IsStoredKind(entry.name);
        bool written = zipOpenNewFileInZip4_64(
                           zip, entry.name.c_str(), &info, extra.data(), static_cast<uInt>(extra.size()),
                           extra.data(), static_cast<uInt>(extra.size()), nullptr, stored ? 0 : Z_DEFLATED,
                           kDeflateLevel, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
                           kVersionMadeBy, 0, feed.Size() >= kZip64FileSize ? 1 : 0) == ZIP_OK ||
                       Failed();
        std::int64_t got = 0;
        const char* piece = nullptr;
        while (written && (got = feed.Read(piece)) > 0) {
            written = zipWriteInFileInZip(zip, piece, static_cast<unsigned>(got)) == ZIP_OK || Failed();
        }
        feed.Close();
        return zipCloseFileInZip(zip) == ZIP_OK ? written && got == 0 : Failed();
    }

    bool Failed() {
        if (error_.empty()) {
            error_ = errno != 0 ? ErrorWords(errno) : std::string("ZIPファイルを書けません。");
        }
        return false;
    }

    std::string path_;
    std::string error_;
};

}  // namespace

std::unique_ptr<PackageSink> MakeCp932ZipSink(const std::string& path) {
    return std::make_unique<Cp932ZipSink>(path);
}
