#include "backup/backup_catalog.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>

#include "backup/backup_place.h"

namespace {

constexpr const char* kExtension = ".fbk";
constexpr const char* kUnchecked = ".unchecked";
constexpr std::size_t kStampLength = 15;  // "20261207-172210"

std::string Stamp(std::int64_t time) {
    const std::time_t seconds = static_cast<std::time_t>(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
    return text;
}

}  // namespace

std::string BackupFileName(const BackupEntry& entry) {
    return Stamp(entry.time) + "_G" + std::to_string(entry.groups) + "_R" +
           std::to_string(entry.registrations) + "_" + entry.fingerprint + kExtension;
}

std::string UncheckedFileName(std::int64_t time) {
    return Stamp(time) + kUnchecked;
}

bool IsUncheckedFileName(const std::string& name) {
    // "20261207-172210.unchecked", or its part while it is written: ".part" and six letters or digits.
    const auto digits = [&](std::size_t from, std::size_t count) {
        return std::all_of(name.begin() + from, name.begin() + from + count,
                           [](unsigned char c) { return std::isdigit(c); });
    };
    const std::size_t stamp = kStampLength + std::string(kUnchecked).size();
    const std::string part = ".part.";
    if (name.size() < stamp || !digits(0, 8) || name[8] != '-' || !digits(9, 6) ||
        name.compare(kStampLength, stamp - kStampLength, kUnchecked) != 0) {
        return false;
    }
    return name.size() == stamp ||
           (name.size() == stamp + part.size() + 6 && name.compare(stamp, part.size(), part) == 0 &&
            std::all_of(name.begin() + stamp + part.size(), name.end(),
                        [](unsigned char c) { return std::isalnum(c); }));
}

std::optional<BackupEntry> ParseBackupFileName(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    std::tm utc{};
    long long groups = 0;
    long long registrations = 0;
    char fingerprint[17] = {};
    int consumed = 0;
    const int read = std::sscanf(name.c_str(), "%4d%2d%2d-%2d%2d%2d_G%lld_R%lld_%16[0-9a-f]%n", &utc.tm_year,
                                 &utc.tm_mon, &utc.tm_mday, &utc.tm_hour, &utc.tm_min, &utc.tm_sec, &groups,
                                 &registrations, fingerprint, &consumed);
    if (read != 9 || name.substr(static_cast<std::size_t>(consumed)) != kExtension ||
        std::string(fingerprint).size() != 16 || groups < 0 || registrations < 0) {
        return std::nullopt;
    }
    utc.tm_year -= 1900;
    utc.tm_mon -= 1;
    BackupEntry entry{file, static_cast<std::int64_t>(timegm(&utc)), groups, registrations, fingerprint};
    if (BackupFileName(entry) != name) {
        return std::nullopt;  // a date that does not exist, or numbers written another way
    }
    return entry;
}

std::vector<BackupEntry> ListBackups(const std::filesystem::path& folder) {
    std::vector<BackupEntry> entries;
    for (const std::filesystem::path& item : FolderItems(folder)) {
        std::error_code error;
        if (std::optional<BackupEntry> entry = ParseBackupFileName(item);
            entry && std::filesystem::is_regular_file(item, error)) {
            entries.push_back(std::move(*entry));
        }
    }
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        return a.file.filename() > b.file.filename();
    });
    return entries;
}

bool DatedAhead(const BackupEntry& entry, std::int64_t now) {
    constexpr std::int64_t kDay = 24 * 3600;
    return entry.time > now + kDay;
}

const BackupEntry* NewestBackup(const std::vector<BackupEntry>& backups, std::int64_t now) {
    const auto newest = std::find_if(backups.begin(), backups.end(),
                                     [now](const BackupEntry& entry) { return !DatedAhead(entry, now); });
    return newest == backups.end() ? nullptr : &*newest;
}
