#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace testsupport {

// A session bus of the test's own (dbus-daemon, Debian package dbus), so what the program asks
// of the desktop reaches the services below and never the desktop of whoever runs the tests.
// Start it before anything in the process uses the session bus: it sets
// DBUS_SESSION_BUS_ADDRESS for the whole process.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool started() const { return !busAddress.isEmpty(); }
    static constexpr const char* notStarted = "dbus-daemon (Debian package dbus) did not start";
    QString address() const { return busAddress; }
    // A connection of its own, as another program on the bus has.
    QDBusConnection connect(const QString& name) const;

private:
    QProcess daemon;
    QString busAddress;
};

// A service of the desktop session played by the test: owns its name and serves its object on
// a bus until it leaves.
class SessionService : public QObject {
    Q_OBJECT

public:
    SessionService(QString service, QString path);
    // Owns the service's name on bus; false when it could not.
    bool serveOn(QDBusConnection bus);
    void leave();

private:
    QString service;
    QString path;
    std::optional<QDBusConnection> servedOn;
};

// The desktop's notification service as far as a notice goes: records each Notify call.
class NotificationListener : public SessionService {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notice {
        QString appName;
        QString summary;
        QString body;
    };
    QList<Notice> notices;

    NotificationListener();

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout);
};

// The session's power management as far as holds on suspending go: records Inhibit and
// UnInhibit as "Inhibit <cookie> <reason>" and "UnInhibit <cookie>".
class PowerManagementListener : public SessionService {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.PowerManagement.Inhibit")

public:
    QStringList calls;
    QList<uint> held; // the cookies not given back

    PowerManagementListener();

public Q_SLOTS:
    uint Inhibit(const QString& application, const QString& reason);
    void UnInhibit(uint cookie);

private:
    uint nextCookie = 41;
};

} // namespace testsupport
