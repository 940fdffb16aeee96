#include <QDesktopServices>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QUrl>

#include "platform/shell.h"

namespace {

// The desktop's own handlers: its icon theme and its default program for the file's type.
class PosixShell : public Shell {
public:
    QIcon AssociatedIcon(const QString& path) override { return iconProvider_.icon(QFileInfo(path)); }

    void OpenDocument(QWidget*, const QString& path) override {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }

    // There are no drive letters, so nothing is ever redirected.
    std::string RemoteNameOfDrive(std::string_view drive) override { return std::string(drive); }

private:
    QFileIconProvider iconProvider_;
};

}  // namespace

std::unique_ptr<Shell> MakeSystemShell() {
    return std::make_unique<PosixShell>();
}
