#include "send/zip_sink.h"

#include <fcntl.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "common/codepage.h"
#include "send/error_words.h"

namespace {

constexpr std::uint16_t kUtf8Flag = 1u << 11;
// Made on a Unix system, to version 4.5 of the format (ZIP64): the permissions below are read.
constexpr int kVersionMadeBy = (3 << 8) | 45;
constexpr unsigned long kRegularFileReadable = 0100644ul << 16;
// Where one file alone may pass the first format's 4 GiB, ZIP64 sizes are kept for it from its start.
constexpr std::int64_t kZip64FileSize = 0xF0000000ll;

void PutLittleEndian(std::string& bytes, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::string ExtraField(std::uint16_t id, const std::string& data) {
    std::string field;
    PutLittleEndian(field, id, 2);
    PutLittleEndian(field, data.size(), 2);
    return field + data;
}

// The extended timestamp (0x5455): the modification time in seconds since 1970, UTC.
std::string ExtendedTimestamp(std::int64_t modified) {
    std::string data(1, '\x01');
    PutLittleEndian(data, static_cast<std::uint32_t>(modified), 4);
    return ExtraField(0x5455, data);
}

// The Info-ZIP Unicode Path extra field (0x7075): version 1, the CRC-32 of the name as the header
// holds it, the name in UTF-8.
std::string UnicodePath(const std::string& headerName, const std::string& utf8Name) {
    std::string data(1, '\x01');
    PutLittleEndian(
        data,
        crc32(0, reinterpret_cast<const Bytef*>(headerName.data()), static_cast<uInt>(headerName.size())), 4);
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
    info.external_fa = kRegularFileReadable;
    return info;
}

class ZipSink : public PackageSink {
public:
    ZipSink(std::string path, ZipNames names) : path_(std::move(path)), names_(names) {
        zip_ = zipOpen64(path_.c_str(), APPEND_STATUS_CREATE);
        if (zip_ == nullptr) {
            Failed();
        }
    }

    ~ZipSink() override {
        if (zip_ != nullptr) {
            zipClose(zip_, nullptr);
        }
    }

    bool BeginEntry(const std::string& name, std::int64_t size, std::int64_t modified) override {
        if (zip_ == nullptr) {
            return false;
        }
        const std::string utf8 = Utf8FromCp932(name);
        const std::string& headerName = names_ == ZipNames::Utf8 ? utf8 : name;
        std::string extra = ExtendedTimestamp(modified);
        if (names_ == ZipNames::Cp932) {
            extra += UnicodePath(headerName, utf8);
        }
        const zip_fileinfo info = FileInfo(modified);
        const bool stored = IsStoredKind(name);
        const int result = zipOpenNewFileInZip4_64(
            zip_, headerName.c_str(), &info, extra.data(), static_cast<uInt>(extra.size()), extra.data(),
            static_cast<uInt>(extra.size()), nullptr, stored ? 0 : Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0,
            -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, kVersionMadeBy,
            names_ == ZipNames::Utf8 ? kUtf8Flag : 0, size >= kZip64FileSize ? 1 : 0);
        return result == ZIP_OK || Failed();
    }

    bool Write(const char* bytes, std::size_t size) override {
        return zipWriteInFileInZip(zip_, bytes, static_cast<unsigned>(size)) == ZIP_OK || Failed();
    }

    bool EndEntry() override { return zipCloseFileInZip(zip_) == ZIP_OK || Failed(); }

    bool Finish() override {
        const int closed = zipClose(zip_, nullptr);
        zip_ = nullptr;
        if (closed != ZIP_OK) {
            return Failed();
        }
        const int file = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        const bool synced = file >= 0 && ::fsync(file) == 0;
        if (!synced) {
            Failed();
        }
        if (file >= 0) {
            ::close(file);
        }
        return synced;
    }

    std::string Error() const override { return error_; }

private:
    bool Failed() {
        error_ = errno != 0 ? ErrorWords(errno) : std::string("ZIPファイルを書けません。");
        return false;
    }

    std::string path_;
    ZipNames names_;
    zipFile zip_ = nullptr;
    std::string error_;
};

}  // namespace

std::unique_ptr<PackageSink> MakeZipSink(const std::string& path, ZipNames names) {
    return std::make_unique<ZipSink>(path, names);
}

bool IsStoredKind(const std::string& name) {
    static const std::array<const char*, 20> kCompressed{"png", "jpg",  "jpeg", "jpe",  "gif",  "pdf", "dwg",
                                                         "dwf", "dwfx", "zip",  "7z",   "rar",  "lzh", "gz",
                                                         "bz2", "xz",   "zst",  "docx", "xlsx", "pptx"};
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos) {
        return false;
    }
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    for (const char* kind : kCompressed) {
        if (extension == kind) {
            return true;
        }
    }
    return false;
}
