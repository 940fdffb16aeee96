#include "platform/file_facts.h"

QString FileTimeText(const QDateTime& localTime) {
    if (!localTime.isValid()) {
        return QString();
    }
    const QDate date = localTime.date();
    const QTime time = localTime.time();
    return QString::asprintf("%04d/%02d/%02d %02d:%02d:%02d", date.year(), date.month(), date.day(),
                             time.hour(), time.minute(), time.second() - time.second() % 2);
}
