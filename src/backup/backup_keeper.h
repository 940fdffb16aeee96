#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/background_work.h"
#include "backup/backup_catalog.h"
#include "backup/verified_backup.h"
#include "common/connection_settings.h"

class Database;
class QStatusBar;
class QWidget;
struct AppContext;

// The status line's words for a check of the database that is still owed.
QString CheckOwedText();

// Keeps proven backups of the program's database and watches over its health. After each attach,
// once the main window shows and no dialog is open: a database left attached by a run that ended
// hard is validated first; a little later a backup is made when the newest is more than a day old
// and the database changed since. A database that is damaged, or cannot be attached because its file is, is
// offered its newest proven backup, restored into a new database beside it. Firebird's work runs on
// a thread of its own; progress and outcome go to the main window's status line.
class BackupKeeper : public QObject {
    Q_OBJECT
public:
    BackupKeeper(AppContext& context, Database& database, QStatusBar& status, QWidget& mainWindow);
    // Ends a backup still running (its unfinished file removed) and waits for it.
    ~BackupKeeper() override;

    // "バックアップを作成(&B)": a backup of the attached database now, whatever the newest one.
    void BackupNow();
    // "バックアップから復元(&E)...": lists this database's backups and restores the one picked.
    void OpenRestore();
    // Firebird's work of the keeper is under way.
    bool Busy() const { return work_.Busy(); }
    // The folder of one database's backups.
    std::filesystem::path FolderOf(const ConnectionSettings& database) const;

    // How long after an attach the automatic backup waits, so that it never competes with the
    // user's first steps.
    void SetAutomaticDelay(int milliseconds) { automaticDelayMs_ = milliseconds; }

    // Points the program at another database (the settings' first three lines) and attaches it.
    std::function<void(const ConnectionSettings&)> switchDatabase;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Attached();
    void Detached();
    bool Settled() const;
    // Runs `step` once the main window shows, no dialog is open and no call is waited for.
    void WhenSettled(std::function<void()> step);
    void StartupChecks(const ConnectionSettings& database, bool hardEnd);
    bool StillAttached(const ConnectionSettings& database) const;
    // Runs `step` once no other work runs.
    void WhenIdle(std::function<void()> step);
    void StartBackup(const ConnectionSettings& database, bool onlyWhenDue);
    // The automatic backup after the check of a database, unless another is attached by then.
    void BackUpIfStillAttached(const ConnectionSettings& database);
    void BackupDone(const BackupReport& report, const std::string& databasePath);
    void Validate(const ConnectionSettings& database);
    void ProbeFailedAttach(const ConnectionSettings& database);
    void OfferRestore(const ConnectionSettings& database);
    void Restore(const ConnectionSettings& database, const BackupEntry& entry);
    void Show(const QString& text);
    // Says that other work runs; false then.
    bool Idle();

    AppContext& context_;
    Database& database_;
    QStatusBar& status_;
    QWidget& mainWindow_;
    BackgroundWork work_;
    std::shared_ptr<void> listening_;
    std::optional<ConnectionSettings> attached_;  // the database the program has attached
    // Paths of databases left by a hard end and not found sound yet: their note stays.
    std::set<std::string> unvalidated_;
    bool shown_ = false;
    QString statusBeforeBackup_;
    int automaticDelayMs_ = 10000;
};
