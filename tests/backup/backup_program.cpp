#include "backup_program.h"

#include <QStatusBar>
#include <QTest>
#include <ctime>

#include "backup/backup_place.h"
#include "backup/verified_backup.h"

namespace fs = std::filesystem;

BackupProgram::BackupProgram() {
    library = CreateLibrary(location.settings(), 3, 2);
    WriteSettings(location.settings());
}

void BackupProgram::StartProgram(int automaticDelayMs) {
    windows = std::make_unique<AppWindows>(context);
    keeper().SetAutomaticDelay(automaticDelayMs);
    QObject::connect(board().StatusBar1, &QStatusBar::messageChanged,
                     [this](const QString& text) { statusTexts.append(text); });
    board().show();
}

fs::path BackupProgram::Folder() const {
    return fs::path(appFolder.path().toStdString()) / "backups" / DatabaseFolderName(location.settings());
}

fs::path BackupProgram::DatabaseFile() const {
    return fs::path(location.folder()) / "TEST.FDB";
}

BackupEntry BackupProgram::MakeBackup(std::int64_t time) {
    const CancelFlag goOn{false};
    const BackupJob job{location.settings(), Folder(), fs::temp_directory_path(),
                        time != 0 ? time : static_cast<std::int64_t>(std::time(nullptr)), false};
    const BackupReport report = MakeVerifiedBackup(job, goOn, [](BackupStage) {});
    EXPECT_EQ(report.result, BackupResult::Made) << report.words;
    return report.entry;
}

bool BackupProgram::StatusShowed(const QString& text, int timeoutMs) {
    return QTest::qWaitFor([&] { return statusTexts.contains(text); }, timeoutMs);
}
