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

std::string_view ProblemText(FirstStart outcome) {
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

}  // namespace

FirstStart PrepareFirstStart(const fs::path& settingsFile, const fs::path& dataFolder,
                             std::string* firebirdReason) {
    // A settings file without a data folder holds the program's own defaults, which name no
    // database: what is left when an earlier preparation failed and the program ran all the same.
    SavedSettings saved;
    const bool existing = SomethingAt(settingsFile);
    if (existing && (!LoadSettings(settingsFile.string(), saved) || !saved.connection.dataFolder.empty())) {
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
    if (!existing) {
        saved = DesignedSettings(ConnectionSettings::Defaults());
    }
    ConnectionSettings& connection = saved.connection;
    connection.serverPrefix.clear();  // embedded: no server is needed
    connection.dataFolder = *folder;
    connection.databaseName = ConnectionSettings::Defaults().databaseName;

    std::error_code error;
    fs::create_directories(dataFolder, error);
    if (!SomethingAt(dataFolder / connection.databaseName)) {
        Database database(connection);
        database.CreateDatabase();
        if (!database.Attached()) {
            if (firebirdReason != nullptr) {
                *firebirdReason = database.LastError();
            }
            return FirstStart::DatabaseNotCreated;
        }
    }
    fs::create_directories(settingsFile.parent_path(), error);
    if (!SaveSettings(settingsFile.string(), saved)) {
        return FirstStart::SettingsNotWritten;
    }
    return FirstStart::Prepared;
}

std::string FirstStartProblem(FirstStart outcome, std::string_view firebirdReason) {
    std::string problem(ProblemText(outcome));
    if (!problem.empty() && !firebirdReason.empty()) {
        problem += "\n";
        problem += firebirdReason;
    }
    return problem;
}
