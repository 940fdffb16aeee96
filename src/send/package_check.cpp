#include "send/package_check.h"

#include <fcntl.h>
#include <unistd.h>
#include <unzip.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "common/codepage.h"
#include "send/error_words.h"
#include "send/sha256.h"

namespace {

std::string Mismatch(const std::string& name) {
    return "読み直した内容が一致しません: " + Utf8FromCp932(name);
}

std::string CheckFolderFile(const std::string& root, const PackedFile& file, std::vector<char>& piece,
                            const std::atomic<bool>& cancel, const ReadTeller& readBytes) {
    const int handle = ::open((root + "/" + Utf8FromCp932(file.name)).c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) {
        return ErrorWords(errno) + " " + Utf8FromCp932(file.name);
    }
    ::posix_fadvise(handle, 0, 0, POSIX_FADV_SEQUENTIAL);
    Sha256 sha;
    std::int64_t size = 0;
    ssize_t got = 0;
    while (!cancel && (got = ::read(handle, piece.data(), piece.size())) > 0) {
        sha.Add(piece.data(), static_cast<std::size_t>(got));
        size += got;
        readBytes(got);
    }
    const int readError = got < 0 ? errno : 0;
    ::close(handle);
    if (readError != 0) {
        return ErrorWords(readError) + " " + Utf8FromCp932(file.name);
    }
    return cancel || (size == file.size && sha.HexDigest() == file.sha256) ? std::string()
                                                                           : Mismatch(file.name);
}

}  // namespace

std::string CheckFolderPackage(const std::string& root, const std::vector<PackedFile>& expected,
                               const std::atomic<bool>& cancel, const ReadTeller& readBytes) {
    std::vector<char> piece(kStreamPiece);
    for (const PackedFile& file : expected) {
        if (cancel) {
            return {};
        }
        if (std::string problem = CheckFolderFile(root, file, piece, cancel, readBytes); !problem.empty()) {
            return problem;
        }
    }
    return {};
}

std::string CheckZipPackage(const std::string& path, ZipNames names, const std::vector<PackedFile>& expected,
                            const std::atomic<bool>& cancel, const ReadTeller& readBytes) {
    const std::unique_ptr<void, int (*)(unzFile)> zip(unzOpen64(path.c_str()), unzClose);
    unz_global_info64 global{};
    if (!zip || unzGetGlobalInfo64(zip.get(), &global) != UNZ_OK) {
        return "ZIPファイルを読み直せません。";
    }
    if (global.number_entry != expected.size()) {
        return "ZIPファイルのファイル数が一致しません。";
    }
    std::vector<char> piece(kStreamPiece);
    int at = unzGoToFirstFile(zip.get());
    for (const PackedFile& file : expected) {
        if (cancel) {
            return {};
        }
        unz_file_info64 info{};
        std::vector<char> name(65536);
        if (at != UNZ_OK || unzGetCurrentFileInfo64(zip.get(), &info, name.data(), name.size(), nullptr, 0,
                                                    nullptr, 0) != UNZ_OK) {
            return Mismatch(file.name);
        }
        const std::string expectedName = names == ZipNames::Utf8 ? Utf8FromCp932(file.name) : file.name;
        if (std::string(name.data(), info.size_filename) != expectedName ||
            static_cast<std::int64_t>(info.uncompressed_size) != file.size ||
            unzOpenCurrentFile(zip.get()) != UNZ_OK) {
            return Mismatch(file.name);
        }
        Sha256 sha;
        int got = 0;
        while (!cancel &&
               (got = unzReadCurrentFile(zip.get(), piece.data(), static_cast<unsigned>(piece.size()))) > 0) {
            sha.Add(piece.data(), static_cast<std::size_t>(got));
            readBytes(got);
        }
        // The close compares the CRC-32 the archive records with the bytes read.
        const bool whole = unzCloseCurrentFile(zip.get()) == UNZ_OK && got == 0;
        if (!cancel && (!whole || sha.HexDigest() != file.sha256)) {
            return Mismatch(file.name);
        }
        at = unzGoToNextFile(zip.get());
    }
    return {};
}
