#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int CONNECT_TIMEOUT_MS = 1000;
constexpr int WRITE_TIMEOUT_MS = 5000;
// Paths are the file system's bytes, which never hold a NUL: it ends each one.
constexpr char PATH_END = '\0';

QByteArray encode(const std::vector<std::string>& paths) {
    QByteArray message;
    for (const std::string& path : paths) {
        message.append(path.data(), qsizetype(path.size()));
        message.append(PATH_END);
    }
    return message;
}

std::vector<std::string> decode(const QByteArray& message) {
    std::vector<std::string> paths;
    for (const QByteArray& path : message.split(PATH_END)) {
        if (!path.isEmpty())
            paths.push_back(path.toStdString());
    }
    return paths;
}

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
    if (handOver(paths))
        return Role::HandedOver;
    return listen() ? Role::First : Role::Alone;
}

bool SingleInstance::handOver(const std::vector<std::string>& paths) const {
    QLocalSocket socket;
    socket.connectToServer(socketPath, QIODevice::WriteOnly);
    if (!socket.waitForConnected(CONNECT_TIMEOUT_MS))
        return false;
    socket.write(encode(paths));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(WRITE_TIMEOUT_MS))
            break;
    }
    socket.disconnectFromServer();
    return true;
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
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { receive(socket); });
    }
}

void SingleInstance::receive(QLocalSocket* socket) {
    // Read once the other start hung up, so its whole message is here.
    const QByteArray message = socket->readAll();
    socket->disconnect(this);
    socket->deleteLater();
    Q_EMIT pathsReceived(decode(message));
}
