#pragma once

#include "platform/Shell.h"

#include <chrono>

namespace platform {

// Shell that hands files, folders and links to the desktop's own programs through an opener
// program (xdg-open), and takes the opener's exit status as the outcome: an opener started
// without a program to show the target (no mail program for a mailto link) is a failure.
class DesktopShell : public Shell {
public:
    // An opener still running after `patience` is showing the target itself (a generic opener
    // runs the browser in the foreground) and counts as success.
    explicit DesktopShell(QString opener = QStringLiteral("xdg-open"),
                          std::chrono::milliseconds patience = std::chrono::seconds(5));

    ShellResult openFile(const QString& path) override;
    ShellResult exploreFolder(const QString& path) override;
    ShellResult openUrl(const QString& url) override;
    void launch(ShellVerb verb, const QString& target, const QObject* context, ShellOutcome done) override;

private:
    // Checks the target and starts the opener on it; a failure found before the start is
    // returned, a later one goes to `done`.
    ShellResult handOver(ShellVerb verb, const QString& target, const QObject* context,
                         ShellOutcome done) const;

    QString opener;
    std::chrono::milliseconds patience;
};

} // namespace platform
