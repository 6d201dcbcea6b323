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
//
// A hand-over is a length, the paths, an acceptance from the first start and a commit from the
// later one: the paths are taken only when both sides know it, so a later start never ends
// believing a hung or vanished instance has its files.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role {
        First,      // listening: later starts hand their paths to this one
        HandedOver, // another instance took the paths; this start should end
        NotTaken,   // an instance listens but did not take the paths (hung, or gone meanwhile)
        Alone,      // neither worked (no runtime folder, socket error): run without the guard
    };

    // Largest hand-over taken; a longer one is cut off instead of filling the window's memory.
    static constexpr qsizetype MAX_MESSAGE_BYTES = 4 * 1024 * 1024;

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
    // Another start of the program ran, with these paths (possibly none), each absolute and
    // existing when it arrived.
    void pathsReceived(const std::vector<std::string>& paths);

private:
    enum class HandOver { NoListener, Taken, NotTaken };

    HandOver handOver(const std::vector<std::string>& paths);
    bool listen();
    void accept();

    QString socketPath;
    QString error;
    QLocalServer* server = nullptr;
};
