#pragma once

#include <QObject>
#include <QString>

#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

// Keeps one running program per user and program file name. The first start listens on a
// local socket in the user's runtime folder named after the program file; a later start
// connects there, hands over its paths and ends. Copies of the program under other names
// do not meet, and a socket left behind by a killed instance does not block the next start.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role {
        First,      // listening: later starts hand their paths to this one
        HandedOver, // another instance took the paths; this start should end
        Alone,      // neither worked (no runtime folder, socket error): run without the guard
    };

    // instanceName: the program file's base name.
    explicit SingleInstance(const QString& instanceName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Hands paths to a running instance, or starts listening for later starts.
    Role claim(const std::vector<std::string>& paths);
    // Later starts no longer reach this one (called when the window has gone).
    void stopListening();

    QString serverName() const { return socketPath; }
    QString errorText() const { return error; }

Q_SIGNALS:
    // Another start of the program ran, with these paths (possibly none).
    void pathsReceived(const std::vector<std::string>& paths);

private:
    bool handOver(const std::vector<std::string>& paths) const;
    bool listen();
    void accept();
    void receive(QLocalSocket* socket);

    QString socketPath;
    QString error;
    QLocalServer* server = nullptr;
};
