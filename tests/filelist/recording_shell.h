#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QStringList>
#include <map>

#include "platform/shell.h"

// Hands out a plain icon, records what it is asked to open instead of launching anything, and
// resolves the drives it has been given.
class RecordingShell : public Shell {
public:
    QIcon IconOfType(const QString&) override {
        QPixmap picture(16, 16);
        picture.fill(QColor(40, 90, 160));
        return QIcon(picture);
    }
    void OpenDocument(QWidget*, const QString& path, OpenFailed) override { opened << path; }
    void ShowInFolder(QWidget*, const QString& path, OpenFailed) override { shownInFolder << path; }
    std::string RemoteNameOfDrive(std::string_view drive) override {
        const auto found = drives.find(std::string(drive));
        return found != drives.end() ? found->second : std::string(drive);
    }

    QStringList opened;
    QStringList shownInFolder;
    std::map<std::string, std::string> drives;
};
