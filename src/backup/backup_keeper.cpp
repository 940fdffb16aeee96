#include "backup/backup_keeper.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>
#include <ctime>

#include "backup/attachment_marker.h"
#include "backup/backup_leftovers.h"
#include "backup/backup_place.h"
#include "common/settings_place.h"
#include "platform/app_context.h"
#include "storage/database.h"
#include "storage/services.h"

namespace {

constexpr int kSettleRetryMs = 200;
constexpr int kBusyRetryMs = 1000;
constexpr int kProbePauseMs = 1000;

std::filesystem::path FileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

QString CheckOwedText() {
    return QStringLiteral("データベースの検査は次回の起動時に行います。");
}

namespace {

// Where a backup's check makes its temporary database: the system's folder for temporary files;
// nothing when that is not to be had (TMPDIR naming no folder).
std::filesystem::path CheckFolder() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return error ? std::filesystem::path() : folder;
}

QString StageText(BackupStage stage) {
    switch (stage) {
        case BackupStage::Counting:
            return QStringLiteral("バックアップの準備をしています...");
        case BackupStage::Copying:
            return QStringLiteral("バックアップを作成しています...");
        case BackupStage::Checking:
            return QStringLiteral("バックアップを確認しています...");
    }
    return {};
}

}  // namespace

BackupKeeper::BackupKeeper(AppContext& context, Database& database, QStatusBar& status, QWidget& mainWindow)
    : context_(context), database_(database), status_(status), mainWindow_(mainWindow), work_(this) {
    // A connection lost and restored is the same database still in use: its note and its work stay.
    listening_ = database_.Listen([this](Database::ConnectionEvent event) {
        if (event == Database::ConnectionEvent::Attached) {
            Attached();
        } else if (event == Database::ConnectionEvent::Detached) {
            Detached();
        }
    });
    mainWindow_.installEventFilter(this);
}

BackupKeeper::~BackupKeeper() {
    work_.Stop();
}

std::filesystem::path BackupKeeper::FolderOf(const ConnectionSettings& database) const {
    return BackupsRoot(FileSystemPath(context_.settingsFileName), FileSystemPath(context_.appDir),
                       UserDataFolder()) /
           DatabaseFolderName(database);
}

bool BackupKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &mainWindow_ && event->type() == QEvent::Show && !shown_) {
        shown_ = true;
        // The start-up's attach has been tried once the show is over and its message is gone. A
        // moment more: a run ended meanwhile (its message closed by a signal) closes the window
        // instead, so no probe holds up its end.
        WhenSettled([this] {
            QTimer::singleShot(kProbePauseMs, this, [this] {
                if (Settled() && !database_.Attached() && !context_.settings.dataFolder.empty()) {
                    ProbeFailedAttach(context_.settings);
                }
            });
        });
    }
    return QObject::eventFilter(watched, event);
}

void BackupKeeper::Attached() {
    const ConnectionSettings database = context_.settings;
    attached_ = database;
    const std::filesystem::path folder = FolderOf(database);
    const bool hardEnd = attachment_marker::LeftBehind(folder);
    if (hardEnd) {
        unvalidated_.insert(database.DatabasePath());
    }
    attachment_marker::Place(folder);
    // Nothing of the backups before the board is seen: the attach of the start-up comes before it.
    WhenSettled([this, database, hardEnd, folder] {
        TidyBackups(folder, CheckFolder());
        StartupChecks(database, hardEnd);
    });
}

void BackupKeeper::Detached() {
    // A hard end whose validation has not been done yet stays noted for the next attach.
    if (attached_ && !unvalidated_.contains(attached_->DatabasePath())) {
        attachment_marker::Remove(FolderOf(*attached_));
    }
    attached_.reset();
    work_.Cancel();
}

// Shown, no dialog open, and the window not inside a call it waits for on a server's connection
// (the start-up's attach, say, whose outcome is not known yet).
bool BackupKeeper::Settled() const {
    return mainWindow_.isVisible() && QApplication::activeModalWidget() == nullptr && !Database::Waiting();
}

void BackupKeeper::WhenSettled(std::function<void()> step) {
    QTimer::singleShot(Settled() ? 0 : kSettleRetryMs, this, [this, step = std::move(step)]() mutable {
        if (Settled()) {
            step();
        } else {
            WhenSettled(std::move(step));
        }
    });
}

bool BackupKeeper::StillAttached(const ConnectionSettings& database) const {
    return attached_ && attached_->DatabasePath() == database.DatabasePath();
}

void BackupKeeper::WhenIdle(std::function<void()> step) {
    if (!work_.Busy()) {
        step();
        return;
    }
    QTimer::singleShot(kBusyRetryMs, this,
                       [this, step = std::move(step)]() mutable { WhenIdle(std::move(step)); });
}

void BackupKeeper::StartupChecks(const ConnectionSettings& database, bool hardEnd) {
    // Another database may have been attached meanwhile; its own checks follow.
    if (!StillAttached(database)) {
        return;
    }
    if (hardEnd) {
        WhenIdle([this, database] {
            if (StillAttached(database)) {
                Validate(database);
            }
        });
        return;
    }
    QTimer::singleShot(automaticDelayMs_, this, [this, database] {
        WhenIdle([this, database] {
            if (StillAttached(database)) {
                StartBackup(database, true);
            }
        });
    });
}

void BackupKeeper::BackUpIfStillAttached(const ConnectionSettings& database) {
    // A check cancelled by leaving the database answers too; the next database has checks of its own.
    if (StillAttached(database)) {
        StartBackup(database, true);
    }
}

void BackupKeeper::BackupNow() {
    if (!attached_) {
        Show(QStringLiteral("データベースに接続されていないため、バックアップを作成できません。"));
        return;
    }
    if (Idle()) {
        StartBackup(*attached_, false);
    }
}

bool BackupKeeper::Idle() {
    if (work_.Busy()) {
        Show(QStringLiteral("バックアップの処理中です。終わってからもう一度実行して下さい。"));
        return false;
    }
    return true;
}

void BackupKeeper::StartBackup(const ConnectionSettings& database, bool onlyWhenDue) {
    const std::filesystem::path folder = FolderOf(database);
    const std::filesystem::path temporary = CheckFolder();
    BackupJob job{database, folder, temporary, static_cast<std::int64_t>(std::time(nullptr)), onlyWhenDue};
    statusBeforeBackup_ = status_.currentMessage();
    // The work may outlive this object (a server that stopped answering at the program's end): only
    // its answer, run here, may touch it.
    work_.Start([this, job, tell = work_.Teller()](const CancelFlag& cancel) -> BackgroundWork::Done {
        const BackupReport report = MakeVerifiedBackup(job, cancel, [&tell, this](BackupStage stage) {
            tell([this, stage] { Show(StageText(stage)); });
        });
        return [this, report, path = job.database.DatabasePath()] { BackupDone(report, path); };
    });
}

void BackupKeeper::BackupDone(const BackupReport& report, const std::string& databasePath) {
    if (report.result == BackupResult::NotDue) {
        Show(statusBeforeBackup_);  // nothing to tell: what was there before comes back
        return;
    }
    QString text;
    switch (report.result) {
        case BackupResult::Made:
            text = QStringLiteral("バックアップを作成しました（グループ %1 件、登録ファイル %2 件）。")
                       .arg(report.entry.groups)
                       .arg(report.entry.registrations);
            break;
        case BackupResult::NotDue:
            break;
        case BackupResult::Failed:
            text = QStringLiteral("バックアップを作成できませんでした。");
            break;
        case BackupResult::CheckFailed:
            text = QStringLiteral(
                "バックアップを復元して確かめられなかったため、削除しました。以前のバックアッ"
                "プは残っています。");
            break;
        case BackupResult::Cancelled:
            text = QStringLiteral("バックアップを中止しました。");
            break;
    }
    // A check of the database that could not be done stays told until it is done, first, where a
    // narrow window still shows it; Firebird's words come last.
    if (unvalidated_.contains(databasePath)) {
        text.prepend(CheckOwedText());
    }
    Show(text + QString::fromStdString(report.words).simplified());
}

void BackupKeeper::Show(const QString& text) {
    if (text.isEmpty()) {
        status_.clearMessage();
    } else {
        status_.showMessage(text);
    }
}
