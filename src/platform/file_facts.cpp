#include "platform/file_facts.h"

QString FileTimeText(const QDateTime& localTime) {
    const QTime time = localTime.time();
    const QTime even(time.hour(), time.minute(), time.second() - time.second() % 2);
    return localTime.date().toString(QStringLiteral("yyyy/MM/dd")) + QLatin1Char(' ') +
           even.toString(QStringLiteral("hh:mm:ss"));
}
