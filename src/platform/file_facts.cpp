#include "platform/file_facts.h"

QString FileTimeText(const QDateTime& localTime) {
    return localTime.isValid() ? FileTimeText(localTime.date(), localTime.time()) : QString();
}

QString FileTimeText(QDate date, QTime time) {
    return QString::asprintf("%04d/%02d/%02d %02d:%02d:%02d", date.year(), date.month(), date.day(),
                             time.hour(), time.minute(), time.second() - time.second() % 2);
}
