#include "starter/first_start.h"

#include "common/codepage.h"
#include "common/designed_settings.h"
#include "common/settings_file.h"
#include "storage/database.h"

namespace fs = std::filesystem;

namespace {

// True when anything at all is at `path`, a dangling link included, or when that cannot be told.
bool SomethingAt(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    return status.type() != fs::file_type::not_found;
}

}  // namespace

FirstStart PrepareFirstStart(const fs::path& settingsFile, const fs::path& dataFolder) {
    if (SomethingAt(settingsFile)) {
        return FirstStart::AlreadyPrepared;
    }
    if (!dataFolder.is_absolute()) {
        return FirstStart::NoDataFolder;
    }
    // The settings file keeps the folder in the code page, ending in the folder separator; the
    // file system's own names are UTF-8.
    const std::optional<std::string> folder = Cp932FromUtf8((dataFolder / "").string());
    if (!folder) {
        return FirstStart::FolderNotInCodePage;
    }
    ConnectionSettings connection = ConnectionSettings::Defaults();
    connection.serverPrefix.clear();  // embedded: no server is needed
    connection.dataFolder = *folder;

    std::error_code error;
    fs::create_directories(dataFolder, error);
    if (!SomethingAt(dataFolder / connection.databaseName)) {
        Database database(connection);
        database.CreateDatabase();
        if (!database.Attached()) {
            return FirstStart::DatabaseNotCreated;
        }
    }
    fs::create_directories(settingsFile.parent_path(), error);
    if (!SaveSettings(settingsFile.string(), DesignedSettings(connection))) {
        return FirstStart::SettingsNotWritten;
    }
    return FirstStart::Prepared;
}

std::string_view FirstStartProblem(FirstStart outcome) {
    switch (outcome) {
        case FirstStart::NoDataFolder:
            return "データフォルダが決まりません。HOMEを設定して下さい。";
        case FirstStart::FolderNotInCodePage:
            return "データフォルダ名に使えない文字があります。";
        case FirstStart::DatabaseNotCreated:
            return "データベースを作成出来ません。";
        case FirstStart::SettingsNotWritten:
            return "設定ファイルを書き込めません。";
        case FirstStart::AlreadyPrepared:
        case FirstStart::Prepared:
            break;
    }
    return {};
}
