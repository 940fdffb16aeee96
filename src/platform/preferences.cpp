#include "platform/preferences.h"

#include "platform/app_context.h"

QString PreferencesFileOf(const QString& settingsFileName) {
    const QString dat = QStringLiteral(".dat");
    const QString stem = settingsFileName.endsWith(dat, Qt::CaseInsensitive)
                             ? settingsFileName.left(settingsFileName.size() - dat.size())
                             : settingsFileName;
    return stem + QStringLiteral(".ini");
}

std::unique_ptr<QSettings> OpenPreferences(const AppContext& context) {
    const QString& settingsFile =
        context.settingsFileName.isEmpty() ? context.executablePath : context.settingsFileName;
    return std::make_unique<QSettings>(PreferencesFileOf(settingsFile), QSettings::IniFormat);
}
