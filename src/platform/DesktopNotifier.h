#pragma once

#include <QString>

namespace platform {

// Desktop notifications through the session's notification service. A notice is sent without
// waiting for an answer, so the window never blocks on a slow service; where no service
// answers (or there is no session bus), nothing happens.
class DesktopNotifier {
public:
    // appName and iconName as the notification service shows them beside each notice.
    DesktopNotifier(QString appName, QString iconName);

    void notify(const QString& summary, const QString& body) const;

private:
    QString appName;
    QString iconName;
};

} // namespace platform
