#include "support/page_damage.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace {

constexpr std::size_t kPageSize = 4096;
constexpr unsigned char kDataPage = 5;
// A data page: the 16-byte page header, its sequence (4 bytes), its table's id (2 bytes), its
// record count (2 bytes), then the record index and the records.
constexpr std::size_t kRelationOffset = 20;
constexpr std::size_t kBodyOffset = 24;
constexpr unsigned kFirstUserRelation = 128;

}  // namespace

int DamageUserDataPages(const std::filesystem::path& databaseFile) {
    std::fstream file(databaseFile, std::ios::in | std::ios::out | std::ios::binary);
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
