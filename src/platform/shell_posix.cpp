#include <QDesktopServices>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QUrl>
#include <unordered_map>

#include "platform/shell.h"

namespace {

// The desktop's own handlers: its icon theme and its default program for the file's type.
class PosixShell : public Shell {
public:
    // The theme's icon follows the file's type, which its extension tells here: a list of thousands
    // of drawings asks the provider once per extension, not once per file.
    QIcon AssociatedIcon(const QString& path) override {
        const QFileInfo file(path);
        const QString extension = file.suffix();
        if (extension.isEmpty()) {
            return iconProvider_.icon(file);
        }
        const auto found = iconOfExtension_.find(extension);
        if (found != iconOfExtension_.end()) {
            return found->second;
        }
        return iconOfExtension_.emplace(extension, iconProvider_.icon(file)).first->second;
    }

    void OpenDocument(QWidget*, const QString& path) override {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }

    // There are no drive letters, so nothing is ever redirected.
    std::string RemoteNameOfDrive(std::string_view drive) override { return std::string(drive); }

private:
    QFileIconProvider iconProvider_;
    std::unordered_map<QString, QIcon> iconOfExtension_;
};

}  // namespace

std::unique_ptr<Shell> MakeSystemShell() {
    return std::make_unique<PosixShell>();
}
