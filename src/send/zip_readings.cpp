#include <minizip/unzip.h>
#include <zip.h>

#include <vector>

#include "send/package_reading.h"

namespace {

// The language encoding flag: the name in the header is UTF-8.
constexpr unsigned long kUtf8Flag = 1ul << 11;

bool IsAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

class MinizipReading : public PackageReading {
public:
    explicit MinizipReading(const std::string& path) : zip_(unzOpen64(path.c_str())), name_(65536) {}
    ~MinizipReading() override {
        if (zip_ != nullptr) {
            unzClose(zip_);
        }
    }

    std::int64_t Count() override {
        unz_global_info64 global{};
        if (zip_ == nullptr || unzGetGlobalInfo64(zip_, &global) != UNZ_OK) {
            return -1;
        }
        return static_cast<std::int64_t>(global.number_entry);
    }

    bool Open(std::size_t index, const std::string& name, std::int64_t& size) override {
        unz_file_info64 info{};
        if ((index == 0 ? unzGoToFirstFile(zip_) : unzGoToNextFile(zip_)) != UNZ_OK ||
            unzGetCurrentFileInfo64(zip_, &info, name_.data(), name_.size(), nullptr, 0, nullptr, 0) !=
                UNZ_OK) {
            return false;
        }
        size = static_cast<std::int64_t>(info.uncompressed_size);
        return std::string(name_.data(), info.size_filename) == name &&
               ((info.flag & kUtf8Flag) != 0 || IsAscii(name)) && unzOpenCurrentFile(zip_) == UNZ_OK;
    }

    std::int64_t Read(char* into, std::size_t size) override {
        return unzReadCurrentFile(zip_, into, static_cast<unsigned>(size));
    }

    // The close compares the CRC-32 the archive records with the bytes read.
    bool Close() override { return unzCloseCurrentFile(zip_) == UNZ_OK; }

    std::string Error() const override { return {}; }

private:
    unzFile zip_;
    std::vector<char> name_;
};

class LibzipReading : public PackageReading {
public:
    explicit LibzipReading(const std::string& path) {
        int error = 0;
        zip_ = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    }
    ~LibzipReading() override {
        Close();
        if (zip_ != nullptr) {
            zip_discard(zip_);
        }
    }

    std::int64_t Count() override { return zip_ != nullptr ? zip_get_num_entries(zip_, 0) : -1; }

    bool Open(std::size_t index, const std::string& name, std::int64_t& size) override {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(zip_, index, 0, &stat) != 0 ||
            (stat.valid & (ZIP_STAT_NAME | ZIP_STAT_SIZE)) != (ZIP_STAT_NAME | ZIP_STAT_SIZE)) {
            return false;
        }
        size = static_cast<std::int64_t>(stat.size);
        file_ = name == stat.name ? zip_fopen_index(zip_, index, 0) : nullptr;
        return file_ != nullptr;
    }

    // A CRC-32 that does not match is a failed read at the end.
    std::int64_t Read(char* into, std::size_t size) override { return zip_fread(file_, into, size); }

    bool Close() override {
        const bool closed = file_ == nullptr || zip_fclose(file_) == 0;
        file_ = nullptr;
        return closed;
    }

    std::string Error() const override { return {}; }

private:
    zip_t* zip_ = nullptr;
    zip_file_t* file_ = nullptr;
};

}  // namespace

std::unique_ptr<PackageReading> ReadZipWithMinizip(const std::string& path) {
    return std::make_unique<MinizipReading>(path);
}

std::unique_ptr<PackageReading> ReadZipWithLibzip(const std::string& path) {
    return std::make_unique<LibzipReading>(path);
}
