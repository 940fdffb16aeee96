#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>
#include <unordered_map>

#include "platform/open_reasons.h"
#include "platform/shell.h"

namespace {

// xdg-open's exit statuses, as its manual gives them.
constexpr int kNoMethodForTheFile = 3;

// Runs the desktop's xdg-open on `path` without waiting for it; its failure is told through `failed`.
// A program it starts may keep it running: it is let go on its own, never ended with a window.
void RunXdgOpen(const QString& path, const Shell::OpenFailed& failed) {
    auto* opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({path});
    opener->setProcessChannelMode(QProcess::SeparateChannels);
    opener->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::errorOccurred, opener,
                     [opener, path, failed](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             failed(NoOpenerReason(path));
                             opener->deleteLater();
                         }
                     });
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, path, failed](int exitCode, QProcess::ExitStatus status) {
                         const QString said =
                             QString::fromLocal8Bit(opener->readAllStandardError()).trimmed();
                         if (status == QProcess::NormalExit && exitCode == kNoMethodForTheFile) {
                             failed(NoProgramReason(path, said));
                         } else if (status != QProcess::NormalExit || exitCode != 0) {
                             failed(NotOpenedReason(path, said));
                         }
                         opener->deleteLater();
                     });
    opener->start(QIODevice::ReadOnly);
}

// The desktop's own handlers: its icon theme and its default program for the file's type.
class PosixShell : public Shell {
public:
    // The theme's icon of the type the name's extension tells: a list of thousands of drawings asks
    // once per extension, not once per file.
    QIcon IconOfType(const QString& fileName) override {
        const QString extension = QFileInfo(fileName).suffix();
        const auto found = iconOfExtension_.find(extension);
        if (found != iconOfExtension_.end()) {
            return found->second;
        }
        const QMimeType type = types_.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
        QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
        if (icon.isNull()) {
            icon = iconProvider_.icon(QAbstractFileIconProvider::File);
        }
        return iconOfExtension_.emplace(extension, icon).first->second;
    }

    void OpenDocument(QWidget*, const QString& path, OpenFailed failed) override { RunXdgOpen(path, failed); }

    // The freedesktop file manager interface selects the file; without one, the folder is opened.
    void ShowInFolder(QWidget*, const QString& path, OpenFailed failed) override {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
        auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call));
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                         [watcher, path, failed](QDBusPendingCallWatcher*) {
                             if (watcher->isError()) {
                                 RunXdgOpen(QFileInfo(path).absolutePath(), failed);
                             }
                             watcher->deleteLater();
                         });
    }

    // There are no drive letters, so nothing is ever redirected.
    std::string RemoteNameOfDrive(std::string_view drive) override { return std::string(drive); }

private:
    QMimeDatabase types_;
    QFileIconProvider iconProvider_;
    std::unordered_map<QString, QIcon> iconOfExtension_;
};

}  // namespace

std::unique_ptr<Shell> MakeSystemShell() {
    return std::make_unique<PosixShell>();
}
