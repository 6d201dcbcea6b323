#include "platform/SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <utility>

namespace platform {

namespace {

QDBusMessage powerManagementCall(const QString& method) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.PowerManagement"),
                                          QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"),
                                          QStringLiteral("org.freedesktop.PowerManagement.Inhibit"), method);
}

} // namespace

SleepInhibitor::SleepInhibitor(QString appName, QObject* parent)
    : QObject(parent), appName(std::move(appName)) {}

SleepInhibitor::~SleepInhibitor() {
    release();
}

void SleepInhibitor::inhibit(const QString& reason) {
    wanted = true;
    if (cookie || asking)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = powerManagementCall(QStringLiteral("Inhibit"));
    call << appName << reason;
    asking = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        asking = false;
        const QDBusPendingReply<quint32> reply = *answer;
        if (reply.isValid())
            granted(reply.value());
    });
}

void SleepInhibitor::release() {
    wanted = false;
    if (cookie)
        giveBack(*std::exchange(cookie, std::nullopt));
}

void SleepInhibitor::granted(quint32 grantedCookie) {
    if (wanted)
        cookie = grantedCookie;
    else
        giveBack(grantedCookie);
}

void SleepInhibitor::giveBack(quint32 heldCookie) {
    QDBusMessage call = powerManagementCall(QStringLiteral("UnInhibit"));
    call << heldCookie;
    QDBusConnection::sessionBus().send(call);
}

} // namespace platform
