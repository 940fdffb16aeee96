#include <QWidget>
#include <ctime>

#include "backup/backup_keeper.h"
#include "backup/restore_dialog.h"
#include "backup/restore_target.h"
#include "common/codepage.h"
#include "platform/app_context.h"
#include "platform/file_facts.h"
#include "platform/prompts.h"
#include "storage/database.h"
#include "storage/database_presence.h"

namespace {

QString PathText(const ConnectionSettings& database) {
    return QString::fromStdString(Utf8FromCp932(database.DatabasePath()));
}

// Why a database file that is no damaged one cannot be opened.
QString FormatText(const OnDiskStructures& structures) {
    if (structures.found.empty()) {
        return QStringLiteral("データベースファイルがFirebirdのデータベースの形式ではないため、開けません。");
    }
    return QStringLiteral(
               "データベースファイルが%1のFirebirdの形式（オンディスク構造 %2）のため、開けません。"
               "このプログラムが読めるのはオンディスク構造 %3 です。")
        .arg(structures.newer ? QStringLiteral("新しいバージョン") : QStringLiteral("古いバージョン"),
             QString::fromStdString(structures.found), QString::fromStdString(structures.read));
}

}  // namespace

void BackupKeeper::Validate(const ConnectionSettings& database) {
    Show(QStringLiteral("前回は正常に終了しなかったため、データベースを検査しています..."));
    work_.Start([this, database](const CancelFlag& cancel) -> BackgroundWork::Done {
        const ValidationReport report = ValidateDatabase(database, cancel);
        return [this, database, report] {
            // Found damaged (and perhaps not restored) or not checked to the end, it is looked at
            // again at the next start.
            if (report.soundness == Soundness::Sound) {
                unvalidated_.erase(database.DatabasePath());
            }
            switch (report.soundness) {
                case Soundness::Sound:
                    Show(QStringLiteral("データベースを検査しました。異常はありません。"));
                    BackUpIfStillAttached(database);
                    break;
                case Soundness::Damaged:
                    Show(QStringLiteral("データベースに破損が見つかりました。"));
                    OfferRestore(database);
                    break;
                case Soundness::Unknown:
                    Show(report.busyTables.empty()
                             ? QStringLiteral("データベースを検査できませんでした。") + CheckOwedText() +
                                   QString::fromStdString(report.words).simplified()
                             : QStringLiteral(
                                   "他の端末が書き込み中のため、データベースを検査できませんでした。") +
                                   CheckOwedText());
                    // The backup's own check proves what it holds, sound or not.
                    BackUpIfStillAttached(database);
                    break;
            }
        };
    });
}

void BackupKeeper::ProbeFailedAttach(const ConnectionSettings& database) {
    work_.Start([this, database](const CancelFlag&) -> BackgroundWork::Done {
        const DatabaseProbe probe = ProbeDatabase(database);
        return [this, database, probe] {
            if (probe.state == DatabaseState::Damaged) {
                Show(QStringLiteral("データベースファイルが破損しています。"));
                OfferRestore(database);
            } else if (probe.state == DatabaseState::Format) {
                // A sound file that this Firebird does not read: a backup in its place would lose
                // whatever another program wrote there since.
                Show(FormatText(probe.structures));
            }
        };
    });
}

void BackupKeeper::OfferRestore(const ConnectionSettings& database) {
    const std::vector<BackupEntry> backups = ListBackups(FolderOf(database));
    if (backups.empty()) {
        context_.prompts->Message(
            &mainWindow_,
            QStringLiteral("データベースが破損しています。復元できるバックアップがありません。"));
        return;
    }
    // A backup dated ahead is offered only where there is no other.
    const BackupEntry* notAhead = NewestBackup(backups, static_cast<std::int64_t>(std::time(nullptr)));
    const BackupEntry& newest = notAhead != nullptr ? *notAhead : backups.front();
    const QString question = QStringLiteral(
                                 "データベースが破損しています。\n"
                                 "最新のバックアップ（%1、グループ %2 件、登録ファイル %3 "
                                 "件）から新しいデータベースを作成して復元しますか？\n"
                                 "元のデータベースファイルはそのまま残ります。")
                                 .arg(BackupTimeText(newest))
                                 .arg(newest.groups)
                                 .arg(newest.registrations);
    if (context_.prompts->Question(&mainWindow_, question)) {
        Restore(database, newest);
    }
}

void BackupKeeper::OpenRestore() {
    const ConnectionSettings database = attached_.value_or(context_.settings);
    if (database.dataFolder.empty()) {
        context_.prompts->Message(&mainWindow_, QStringLiteral("データベースが設定されていません。"));
        return;
    }
    const std::vector<BackupEntry> backups = ListBackups(FolderOf(database));
    if (backups.empty()) {
        context_.prompts->Message(&mainWindow_,
                                  QStringLiteral("このデータベースのバックアップはありません。"));
        return;
    }
    RestoreDialog dialog(backups, &mainWindow_);
    dialog.exec();
    if (const std::optional<BackupEntry> chosen = dialog.Chosen()) {
        Restore(database, *chosen);
    }
}

void BackupKeeper::Restore(const ConnectionSettings& database, const BackupEntry& entry) {
    if (!Idle()) {
        return;
    }
    Show(QStringLiteral("バックアップから復元しています..."));
    work_.Start([this, database, entry](const CancelFlag& cancel) -> BackgroundWork::Done {
        ConnectionSettings target;
        const ServiceOutcome outcome = RestoreBeside(database, entry, cancel, target);
        // Asked here, off the window: a shared folder may be slow to answer.
        const bool shared = !target.serverPrefix.empty() ||
                            OnSharedFileSystem(QString::fromStdString(Utf8FromCp932(target.dataFolder)));
        return [this, outcome, target, shared] {
            if (!outcome.done) {
                Show(QString());
                QString text = QStringLiteral("バックアップから復元できませんでした。\n%1")
                                   .arg(QString::fromStdString(outcome.error));
                if (!outcome.leftBehind.empty()) {
                    text += QStringLiteral("\n復元しかけたデータベース「%1」を削除できませんでした。")
                                .arg(QString::fromStdString(outcome.leftBehind));
                }
                context_.prompts->Message(&mainWindow_, text);
                return;
            }
            Show(QStringLiteral("「%1」に復元しました。").arg(PathText(target)));
            const QString question =
                QStringLiteral("バックアップから「%1」を作成しました。\nこのデータベースに切り替えますか？")
                    .arg(PathText(target));
            // Other desktops go on with the database they have: a switch here alone needs a No by default.
            const bool yes =
                shared ? context_.prompts->QuestionDefaultNo(
                             &mainWindow_,
                             question + QStringLiteral(
                                            "\n\n他のコンピューターは引き続き元のデータベースを使用します。"))
                       : context_.prompts->Question(&mainWindow_, question);
            if (yes && switchDatabase) {
                switchDatabase(target);
            }
        };
    });
}
