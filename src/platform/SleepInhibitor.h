#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace platform {

// Asks the desktop session not to suspend while long work runs, through the session's power
// management service where one is offered; nothing happens otherwise. Calls never wait for
// the service: a hold granted after its release was asked for is given back at once.
class SleepInhibitor : public QObject {
    Q_OBJECT

public:
    explicit SleepInhibitor(QString appName, QObject* parent = nullptr);
    // Gives back a hold still kept.
    ~SleepInhibitor() override;

    // Asks for a hold with reason shown to the user; a hold kept or asked for already stays.
    void inhibit(const QString& reason);
    // Gives the hold back, also one still being granted.
    void release();
    bool isHeld() const { return cookie.has_value(); }

private:
    void granted(quint32 grantedCookie);
    static void giveBack(quint32 heldCookie);

    QString appName;
    std::optional<quint32> cookie;
    bool wanted = false;
    bool asking = false;
};

} // namespace platform
