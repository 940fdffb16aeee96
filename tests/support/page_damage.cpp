#include "support/page_damage.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPageSize = 4096;
constexpr unsigned char kDataPage = 5;
// A data page: the 16-byte page header, its sequence (4 bytes), its table's id (2 bytes), its
// record count (2 bytes), then the record index and the records.
constexpr std::size_t kRelationOffset = 20;
constexpr std::size_t kBodyOffset = 24;
constexpr unsigned kFirstUserRelation = 128;
// The header page: its on-disk structure (with the Firebird flag) and the page of RDB$PAGES.
constexpr std::size_t kOdsVersionOffset = 18;
constexpr std::size_t kPagesPageOffset = 20;
constexpr unsigned kFirebirdOds = 0x8000;

void Overwrite(std::fstream& file, std::uint64_t at, const std::string& bytes) {
    file.seekp(static_cast<std::streamoff>(at));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::fstream Opened(const std::filesystem::path& databaseFile) {
    return std::fstream(databaseFile, std::ios::in | std::ios::out | std::ios::binary);
}

}  // namespace

int DamageUserDataPages(const std::filesystem::path& databaseFile) {
    std::fstream file = Opened(databaseFile);
    std::vector<char> page(kPageSize);
    int damaged = 0;
    for (std::uint64_t number = 0; file.seekg(number * kPageSize) && file.read(page.data(), kPageSize);
         ++number) {
        const auto relation = static_cast<unsigned>(static_cast<unsigned char>(page[kRelationOffset])) |
                              static_cast<unsigned>(static_cast<unsigned char>(page[kRelationOffset + 1]))
                                  << 8;
        if (static_cast<unsigned char>(page[0]) != kDataPage || relation < kFirstUserRelation) {
            continue;
        }
        for (std::size_t i = kBodyOffset; i < kPageSize; ++i) {
            page[i] = static_cast<char>(0xA5 ^ (i * 7));
        }
        file.seekp(number * kPageSize);
        file.write(page.data(), kPageSize);
        ++damaged;
    }
    return damaged;
}

void DamagePageList(const std::filesystem::path& databaseFile) {
    std::fstream file = Opened(databaseFile);
    unsigned char number[4] = {};
    file.seekg(kPagesPageOffset);
    file.read(reinterpret_cast<char*>(number), sizeof number);
    const std::uint64_t page = number[0] | number[1] << 8 | number[2] << 16 | std::uint64_t{number[3]} << 24;
    Overwrite(file, page * kPageSize, std::string(kPageSize, '\x33'));
}

void SetOnDiskStructure(const std::filesystem::path& databaseFile, int major) {
    std::fstream file = Opened(databaseFile);
    const unsigned version = kFirebirdOds | static_cast<unsigned>(major);
    Overwrite(file, kOdsVersionOffset, {static_cast<char>(version & 0xFF), static_cast<char>(version >> 8)});
}

void OverwriteHeaderPage(const std::filesystem::path& databaseFile) {
    std::fstream file = Opened(databaseFile);
    Overwrite(file, 0, std::string(kPageSize, '\x33'));
}
