#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QWidget;

// What the file list asks of the desktop shell. The real one is per operating system; tests
// install one that records what was opened.
class Shell {
public:
    virtual ~Shell() = default;

    // The icon the desktop associates with files of the kind `fileName` names, by the name alone:
    // the file itself is never looked at, wherever it is.
    virtual QIcon IconOfType(const QString& fileName) = 0;
    // Called on the GUI thread, perhaps after the call has returned, with the Japanese sentence that
    // says why the desktop could not open a path (the desktop's own words after it, if it gave any).
    using OpenFailed = std::function<void(const QString& reason)>;

    // Opens the file with its associated program.
    virtual void OpenDocument(QWidget* owner, const QString& path, OpenFailed failed) = 0;
    // Shows the file in the desktop's file manager, selected where it can be.
    virtual void ShowInFolder(QWidget* owner, const QString& path, OpenFailed failed) = 0;
    // The remote name of the network connection redirected to a two-character drive text such as
    // "X:", or the drive text unchanged when there is none (always so where there are no drives).
    virtual std::string RemoteNameOfDrive(std::string_view drive) = 0;
};

// The operating system's own shell.
std::unique_ptr<Shell> MakeSystemShell();
