#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/connection_settings.h"
#include "storage/private_database.h"
#include "storage/row_census.h"
#include "storage/services.h"

// The temporary folder of a check's database: this stem and six letters or digits.
inline constexpr const char* kCheckFolderStem = "qarto-check-";

// A backup restored into a temporary embedded database of the process's own, for its check: made in
// the first of the folders given where something can be made and there is room for it (the system's
// temporary folder, then the backups folder), and gone with the object. No other process ever opens
// it, so it may be made whatever the engine's server mode.
class CheckCopy {
public:
    explicit CheckCopy(std::vector<std::filesystem::path> folders) : folders_(std::move(folders)) {}
    ~CheckCopy() { Remove(); }
    CheckCopy(const CheckCopy&) = delete;
    CheckCopy& operator=(const CheckCopy&) = delete;

    // The census of `file` restored; nothing, with the reason (naming each folder that failed) in
    // `words`, when it cannot be had.
    std::optional<RowCensus> Restore(const std::filesystem::path& file, const CancelFlag& cancel,
                                     std::chrono::milliseconds deadline, std::string& words);

private:
    // Makes the copy's folder in `folder` and tries it; the settings naming the copy there, or
    // nothing with the reason added to `words`.
    std::optional<ConnectionSettings> MakeFolder(const std::filesystem::path& folder, std::uintmax_t room,
                                                 std::string& words);
    void Remove();

    std::vector<std::filesystem::path> folders_;
    std::filesystem::path made_;  // the copy's folder while there is one
    std::optional<ConnectionSettings> copy_;
    std::optional<PrivateDatabase> private_;
    bool restored_ = false;
};
