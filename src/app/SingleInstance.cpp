#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int CONNECT_TIMEOUT_MS = 1000;
constexpr int WRITE_TIMEOUT_MS = 5000;
// A window busy for a moment (adding a large folder) still answers within this.
constexpr int ACCEPT_TIMEOUT_MS = 10000;
// A hand-over of the largest size takes milliseconds; a connection that has not finished by
// then is stalled and must not hold its buffer.
constexpr int STALL_TIMEOUT_MS = 3000;
// More hand-overs at once than any file manager makes; further connections are refused.
constexpr int MAX_OPEN_CONNECTIONS = 16;
constexpr qsizetype LENGTH_BYTES = 4;
constexpr char ACCEPTED = 'A';
constexpr char COMMITTED = 'C';
// Paths are the file system's bytes, which never hold a NUL: it ends each one.
constexpr char PATH_END = '\0';

QByteArray lengthBytes(qsizetype length) {
    QByteArray bytes(LENGTH_BYTES, '\0');
    for (qsizetype i = 0; i < LENGTH_BYTES; ++i)
        bytes[i] = char((std::uint32_t(length) >> (8 * (LENGTH_BYTES - 1 - i))) & 0xFF);
    return bytes;
}

qsizetype lengthOf(const QByteArray& bytes) {
    std::uint32_t length = 0;
    for (qsizetype i = 0; i < LENGTH_BYTES; ++i)
        length = (length << 8) | std::uint8_t(bytes[i]);
    return qsizetype(length);
}

QByteArray encode(const std::vector<std::string>& paths) {
    QByteArray message;
    for (const std::string& path : paths) {
        message.append(path.data(), qsizetype(path.size()));
        message.append(PATH_END);
    }
    return message;
}

// As on the command line, a path the window cannot use does not become a job. A relative one
// would be resolved against the window's folder, not the folder the other start ran in.
bool usable(const std::string& path) {
    std::error_code error;
    return std::filesystem::path(path).is_absolute() && std::filesystem::exists(path, error);
}

std::vector<std::string> decode(const QByteArray& message) {
    std::vector<std::string> paths;
    for (const QByteArray& path : message.split(PATH_END)) {
        if (!path.isEmpty() && usable(path.toStdString()))
            paths.push_back(path.toStdString());
    }
    return paths;
}

bool waitToWrite(QLocalSocket& socket, const QByteArray& bytes) {
    socket.write(bytes);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(WRITE_TIMEOUT_MS))
            return false;
    }
    return true;
}

bool waitToRead(QLocalSocket& socket, char expected) {
    char answer = 0;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(ACCEPT_TIMEOUT_MS))
            return false;
    }
    return socket.getChar(&answer) && answer == expected;
}

// One later start's hand-over as it arrives: its length, its paths, then its commit once it
// was told the paths are taken. Anything else, or nothing for too long, ends the connection.
class Incoming {
public:
    Incoming(QLocalSocket& connection, std::function<void(std::vector<std::string>)> take)
        : socket(connection), taken(std::move(take)) {}

    void read() {
        buffer.append(socket.readAll());
        if (expected < 0 && buffer.size() >= LENGTH_BYTES) {
            expected = lengthOf(buffer);
            buffer.remove(0, LENGTH_BYTES);
            if (expected > SingleInstance::MAX_MESSAGE_BYTES)
                return socket.abort();
        }
        if (expected < 0 || buffer.size() < expected)
            return;
        if (!accepted)
            return accept();
        if (buffer.size() > expected)
            commit(buffer.at(expected));
    }

private:
    void accept() {
        if (buffer.size() > expected)
            return socket.abort();
        accepted = true;
        socket.putChar(ACCEPTED);
    }

    void commit(char mark) {
        if (mark != COMMITTED)
            return socket.abort();
        // The socket, and this with it, may be gone once the paths are taken.
        const auto take = taken;
        const std::vector<std::string> paths = decode(buffer.left(expected));
        socket.disconnectFromServer();
        take(paths);
    }

    QLocalSocket& socket;
    std::function<void(std::vector<std::string>)> taken;
    QByteArray buffer;
    qsizetype expected = -1;
    bool accepted = false;
};

// Held while a start looks for a running instance and, finding none, starts listening. The
// kernel drops it with its holder, so a killed start leaves nothing that blocks, and a waiting
// start goes on the moment it is free. Without the file no lock is taken.
class StartLock {
public:
    explicit StartLock(const QString& path)
        : fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        while (fd >= 0 && ::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~StartLock() {
        if (fd >= 0)
            ::close(fd);
    }
    StartLock(const StartLock&) = delete;
    StartLock& operator=(const StartLock&) = delete;

private:
    int fd;
};

QString userRuntimeFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() || !QDir().mkpath(folder) ? QString() : folder;
}

} // namespace

SingleInstance::SingleInstance(const QString& instanceName, QObject* parent) : QObject(parent) {
    const QString folder = userRuntimeFolder();
    if (!folder.isEmpty())
        socketPath = folder + QLatin1Char('/') + instanceName + QStringLiteral(".socket");
}

SingleInstance::~SingleInstance() {
    stopListening();
}

SingleInstance::Role SingleInstance::claim(const std::vector<std::string>& paths) {
    if (socketPath.isEmpty()) {
        error = QStringLiteral("no runtime folder for the instance socket");
        return Role::Alone;
    }
    // Two starts at the same moment must not both find no listener and both listen: the second
    // would replace the first one's socket.
    const StartLock lock(socketPath + QStringLiteral(".lock"));
    switch (handOver(paths)) {
    case HandOver::Taken:
        return Role::HandedOver;
    case HandOver::NotTaken:
        return Role::NotTaken;
    case HandOver::NoListener:
        break;
    }
    return listen() ? Role::First : Role::Alone;
}

SingleInstance::HandOver SingleInstance::handOver(const std::vector<std::string>& paths) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(CONNECT_TIMEOUT_MS))
        return HandOver::NoListener;
    const QByteArray message = encode(paths);
    if (message.size() > MAX_MESSAGE_BYTES) {
        error = QStringLiteral("the list of files is longer than a running Folverin takes at once");
        return HandOver::NotTaken;
    }
    if (!waitToWrite(socket, lengthBytes(message.size()) + message) || !waitToRead(socket, ACCEPTED) ||
        !waitToWrite(socket, QByteArray(1, COMMITTED))) {
        error = QStringLiteral("the running Folverin did not answer");
        return HandOver::NotTaken;
    }
    socket.disconnectFromServer();
    return HandOver::Taken;
}

bool SingleInstance::listen() {
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Nobody answered, so a socket file still there was left by an instance that was killed,
    // and listening must not fail on it.
    QLocalServer::removeServer(socketPath);
    if (!server->listen(socketPath)) {
        error = server->errorString();
        delete server;
        server = nullptr;
        return false;
    }
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::stopListening() {
    if (!server)
        return;
    server->close();
    delete server;
    server = nullptr;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly).size() > MAX_OPEN_CONNECTIONS) {
            socket->abort();
            continue;
        }
        QTimer::singleShot(STALL_TIMEOUT_MS, socket, &QLocalSocket::abort);
        auto incoming = std::make_shared<Incoming>(
            *socket, [this](const std::vector<std::string>& paths) { Q_EMIT pathsReceived(paths); });
        connect(socket, &QLocalSocket::readyRead, socket, [incoming] { incoming->read(); });
    }
}
