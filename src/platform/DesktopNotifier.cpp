#include "platform/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>

#include <utility>

namespace platform {

namespace {

// The notice stays as long as the service's own default.
constexpr int SERVICE_DEFAULT_TIMEOUT = -1;

} // namespace

DesktopNotifier::DesktopNotifier(QString appName, QString iconName)
    : appName(std::move(appName)), iconName(std::move(iconName)) {}

void DesktopNotifier::notify(const QString& summary, const QString& body) const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << appName << 0u << iconName << summary << body << QStringList() << QVariantMap()
         << SERVICE_DEFAULT_TIMEOUT;
    // The answer (the notice's id, or an error where no service runs) is not waited for.
    bus.asyncCall(call);
}

} // namespace platform
