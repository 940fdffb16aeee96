#include "dialogs/database_name_rules.h"

#include <QLocale>
#include <algorithm>

#include "platform/paths.h"

bool IsBlankEntry(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 32; });
}

QString DatabaseFileName(const QString& typed) {
    const QString name = QLocale().toUpper(typed);
    QString ends = QStringLiteral(".\\:");
    for (char separator : PathSeparators()) {
        ends += QLatin1Char(separator);
    }
    const auto last = std::find_if(name.rbegin(), name.rend(), [&](QChar c) { return ends.contains(c); });
    if (last != name.rend() && *last == QLatin1Char('.')) {
        return name;
    }
    return name + QStringLiteral(".FDB");
}
