#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// One proven backup as its file name tells it: when it was made, what it holds and the fingerprint
// of the database's contents at that time.
struct BackupEntry {
    std::filesystem::path file;
    std::int64_t time = 0;  // seconds since 1970, UTC
    long long groups = 0;
    long long registrations = 0;
    std::string fingerprint;
};

// "20261207-172210_G3_R12_<fingerprint>.fbk": the time in UTC first, so names sort by time.
std::string BackupFileName(const BackupEntry& entry);
// The entry a proven backup's name describes; nothing for any other name.
std::optional<BackupEntry> ParseBackupFileName(const std::filesystem::path& file);
// The name a backup has while it is being made and checked; it is not a proven one.
std::string UncheckedFileName(std::int64_t time);
// Such a name, or that of its part while it is written.
bool IsUncheckedFileName(const std::string& name);

// The proven backups in `folder`, newest first.
std::vector<BackupEntry> ListBackups(const std::filesystem::path& folder);
// A backup dated more than a day ahead of `now` was made under a wrong clock: it neither tells when
// the last backup was made nor takes a place among the kept ones until its time comes.
bool DatedAhead(const BackupEntry& entry, std::int64_t now);
// The newest of `backups` (newest first) not dated ahead; null when there is none.
const BackupEntry* NewestBackup(const std::vector<BackupEntry>& backups, std::int64_t now);
