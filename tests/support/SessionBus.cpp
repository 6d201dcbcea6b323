#include "SessionBus.h"

#include <csignal>
#include <sys/prctl.h>
#include <utility>

namespace testsupport {

PrivateSessionBus::PrivateSessionBus() {
    // The bus goes with the test, also when the test crashes.
    daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                 QStringLiteral("--print-address=1")});
    if (!daemon.waitForStarted(10000))
        return;
    while (!daemon.canReadLine() && daemon.waitForReadyRead(10000)) {
    }
    busAddress = QString::fromUtf8(daemon.readLine()).trimmed();
    if (!busAddress.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress.toUtf8());
}

PrivateSessionBus::~PrivateSessionBus() {
    daemon.terminate();
    daemon.waitForFinished(5000);
}

QDBusConnection PrivateSessionBus::connect(const QString& name) const {
    return QDBusConnection::connectToBus(busAddress, name);
}

SessionService::SessionService(QString service, QString path)
    : service(std::move(service)), path(std::move(path)) {}

bool SessionService::serveOn(QDBusConnection bus) {
    if (!bus.isConnected() || !bus.registerObject(path, this, QDBusConnection::ExportAllSlots) ||
        !bus.registerService(service))
        return false;
    servedOn = bus;
    return true;
}

void SessionService::leave() {
    if (!servedOn)
        return;
    servedOn->unregisterService(service);
    servedOn->unregisterObject(path);
    servedOn.reset();
}

NotificationListener::NotificationListener()
    : SessionService(QStringLiteral("org.freedesktop.Notifications"),
                     QStringLiteral("/org/freedesktop/Notifications")) {}

uint NotificationListener::Notify(const QString& appName, uint, const QString&, const QString& summary,
                                  const QString& body, const QStringList&, const QVariantMap&, int) {
    notices.append({appName, summary, body});
    return static_cast<uint>(notices.size());
}

PowerManagementListener::PowerManagementListener()
    : SessionService(QStringLiteral("org.freedesktop.PowerManagement"),
                     QStringLiteral("/org/freedesktop/PowerManagement/Inhibit")) {}

uint PowerManagementListener::Inhibit(const QString&, const QString& reason) {
    const uint cookie = nextCookie++;
    calls.append(QStringLiteral("Inhibit %1 %2").arg(cookie).arg(reason));
    held.append(cookie);
    return cookie;
}

void PowerManagementListener::UnInhibit(uint cookie) {
    calls.append(QStringLiteral("UnInhibit %1").arg(cookie));
    held.removeOne(cookie);
}

} // namespace testsupport
