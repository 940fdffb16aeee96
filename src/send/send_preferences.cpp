#include "send/send_preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "platform/app_context.h"
#include "platform/preferences.h"

SendChoices ReadSendChoices(const AppContext& context) {
    const std::unique_ptr<QSettings> preferences = OpenPreferences(context);
    preferences->beginGroup(QStringLiteral("Send"));
    SendChoices choices;
    choices.where =
        QFile::encodeName(preferences->value(QStringLiteral("Where"), QDir::homePath()).toString())
            .toStdString();
    choices.kind =
        preferences->value(QStringLiteral("Zip"), false).toBool() ? PackageKind::Zip : PackageKind::Folder;
    choices.layout = preferences->value(QStringLiteral("KeepFolders"), false).toBool() ? FolderLayout::Kept
                                                                                       : FolderLayout::Flat;
    choices.csv = preferences->value(QStringLiteral("Csv"), true).toBool();
    choices.pdf = preferences->value(QStringLiteral("Pdf"), true).toBool();
    choices.csvEncoding = preferences->value(QStringLiteral("CsvCp932"), false).toBool()
                              ? CsvEncoding::Cp932
                              : CsvEncoding::Utf8WithBom;
    choices.zipNames = preferences->value(QStringLiteral("ZipCp932Names"), false).toBool() ? ZipNames::Cp932
                                                                                           : ZipNames::Utf8;
    return choices;
}

void WriteSendChoices(const AppContext& context, const SendChoices& choices) {
    const std::unique_ptr<QSettings> preferences = OpenPreferences(context);
    preferences->beginGroup(QStringLiteral("Send"));
    preferences->setValue(QStringLiteral("Where"),
                          QFile::decodeName(QByteArray::fromStdString(choices.where)));
    preferences->setValue(QStringLiteral("Zip"), choices.kind == PackageKind::Zip);
    preferences->setValue(QStringLiteral("KeepFolders"), choices.layout == FolderLayout::Kept);
    preferences->setValue(QStringLiteral("Csv"), choices.csv);
    preferences->setValue(QStringLiteral("Pdf"), choices.pdf);
    preferences->setValue(QStringLiteral("CsvCp932"), choices.csvEncoding == CsvEncoding::Cp932);
    preferences->setValue(QStringLiteral("ZipCp932Names"), choices.zipNames == ZipNames::Cp932);
}

std::string SendNotesFolder(const AppContext& context) {
    const QFileInfo settings(context.settingsFileName.isEmpty() ? context.executablePath
                                                                : context.settingsFileName);
    return QFile::encodeName(settings.absolutePath() + QLatin1Char('/') + settings.completeBaseName() +
                             QStringLiteral(".sending"))
        .toStdString();
}
