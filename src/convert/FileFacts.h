#pragma once

#include <QDateTime>
#include <QString>

// How the job list and the summary show a file's size and time.
class FileFacts {
public:
    // Digits grouped by three from the right with commas: 1234567 gives "1,234,567".
    static QString groupThousands(quint64 value);
    // "%H:%M:%S %m/%d/%Y" in local time.
    static QString formatTime(const QDateTime& time);
};
