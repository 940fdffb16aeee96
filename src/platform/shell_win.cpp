#include <windows.h>
// clang-format off
#include <shellapi.h>
#include <winnetwk.h>
// clang-format on

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstring>
#include <optional>

#include "platform/codec.h"
#include "platform/open_reasons.h"
#include "platform/shell.h"

namespace {

// The shell's ANSI calls take code-page paths; a path the code page cannot hold names no file.
class WindowsShell : public Shell {
public:
    // SHGFI_USEFILEATTRIBUTES: the icon of the name's type, without the file being looked at.
    QIcon IconOfType(const QString& fileName) override {
        const std::optional<std::string> bytes = ToCp932(fileName);
        if (!bytes) {
            return QIcon();
        }
        SHFILEINFOA info{};
        if (SHGetFileInfoA(bytes->c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                           SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES) == 0 ||
            info.hIcon == nullptr) {
            return QIcon();
        }
        const QIcon copy(QPixmap::fromImage(QImage::fromHICON(info.hIcon)));
        DestroyIcon(info.hIcon);
        return copy;
    }

    void OpenDocument(QWidget* owner, const QString& path, OpenFailed failed) override {
        Execute(owner, "OPEN", path, "", failed);
    }

    void ShowInFolder(QWidget* owner, const QString& path, OpenFailed failed) override {
        Execute(owner, "OPEN", "explorer.exe", "/select,\"" + path + "\"", failed);
    }

private:
    // ShellExecute answers at once: a value of 32 or less is its error.
    static void Execute(QWidget* owner, const char* verb, const QString& file, const QString& parameters,
                        const OpenFailed& failed) {
        const std::optional<std::string> bytes = ToCp932(file);
        const std::optional<std::string> given = ToCp932(parameters);
        const QString& shown = parameters.isEmpty() ? file : parameters;
        if (!bytes || !given) {
            failed(NotOpenedReason(shown));
            return;
        }
        HWND window = owner != nullptr ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteA(window, verb, bytes->c_str(), given->c_str(), "", SW_SHOW));
        if (result == SE_ERR_NOASSOC || result == SE_ERR_ASSOCINCOMPLETE) {
            failed(NoProgramReason(shown));
        } else if (result <= 32) {
            failed(NotOpenedReason(shown));
        }
    }

public:
    std::string RemoteNameOfDrive(std::string_view drive) override {
        const std::string local(drive);
        char remote[256] = {};
        DWORD length = sizeof remote;
        if (WNetGetConnectionA(local.c_str(), remote, &length) != NO_ERROR) {
            return local;
        }
        return std::string(remote, strnlen(remote, sizeof remote));
    }
};

}  // namespace

std::unique_ptr<Shell> MakeSystemShell() {
    return std::make_unique<WindowsShell>();
}
