#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>

// The plain C++ layers hold paths as the file system's bytes; Qt holds them as text. QFile
// converts both ways as the system does, so odd bytes in a name survive the round trip.
namespace platform {

inline std::string toNativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

inline QString fromNativePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace platform
