#include "platform/firebird_reason.h"

QString WithFirebirdReason(const QString& message, const std::string& reason) {
    const QString words = QString::fromUtf8(reason).trimmed();
    return words.isEmpty() ? message : message + QLatin1Char('\n') + words;
}
