#include "convert/FileFacts.h"

QString FileFacts::groupThousands(quint64 value) {
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits;
}

QString FileFacts::formatTime(const QDateTime& time) {
    return time.toLocalTime().toString(QStringLiteral("HH:mm:ss MM/dd/yyyy"));
}
