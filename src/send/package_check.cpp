#include "send/package_check.h"

#include <filesystem>

#include "common/codepage.h"
#include "send/package_reading.h"
#include "send/piece_hasher.h"

namespace {

// What the first ZIP format's fields of sizes and offsets hold.
constexpr std::uintmax_t kFirstFormatLimit = 0xFFFFFFFF;

std::string Compare(PackageReading& reading, const std::vector<PackedFile>& expected,
                    const std::atomic<bool>& cancel, const ReadTeller& readBytes) {
    const std::int64_t count = reading.Count();
    if (count < 0) {
        return "作成したパッケージを読み直せません。" + reading.Error();
    }
    if (static_cast<std::size_t>(count) != expected.size()) {
        return "作成したパッケージのファイル数が一致しません。";
    }
    PieceHasher sha;
    for (std::size_t i = 0; i < expected.size() && !cancel; ++i) {
        const PackedFile& file = expected[i];
        const std::string name = Utf8FromCp932(file.name);
        std::int64_t size = -1;
        bool same = reading.Open(i, name, size) && size == file.size;
        if (same) {
            std::int64_t got = 0;
            std::int64_t total = 0;
            while (!cancel && (got = reading.Read(sha.Buffer(), kStreamPiece)) > 0) {
                sha.Add(static_cast<std::size_t>(got));
                total += got;
                readBytes(got);
            }
            same = reading.Close() && got == 0 && total == file.size && sha.HexDigest() == file.sha256;
        }
        if (!same && !cancel) {
            const std::string error = reading.Error();
            return (error.empty() ? "読み直した内容が一致しません:" : error) + " " + name;
        }
    }
    return {};
}

}  // namespace

std::string CheckFolderPackage(const std::string& root, const std::vector<PackedFile>& expected,
                               const std::atomic<bool>& cancel, const ReadTeller& readBytes) {
    return Compare(*ReadFolder(root), expected, cancel, readBytes);
}

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
    return Compare(*reading, expected, cancel, readBytes);
}
