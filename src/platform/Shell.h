#pragma once

#include <QString>

#include <functional>

class QObject;

// Hands files, folders and links to the desktop: the file's own program, the file manager,
// the browser or the mail program.
namespace platform {

// Why a hand-over failed, numbered as the classic launch errors so callers that explain
// failures by those numbers can pick the nearest message.
enum class ShellFailure : int {
    Unknown = -1,
    OutOfResources = 0,
    FileNotFound = 2,
    PathNotFound = 3,
    AccessDenied = 5,
    NoAssociation = 31,
};

struct ShellResult {
    bool ok = false;
    QString error; // why it failed, for the user
    ShellFailure failure = ShellFailure::Unknown;
};

enum class ShellVerb {
    Open,    // a file with its own program
    Explore, // a folder in the file manager
    Url,     // an http(s) or mailto link
};

// Told once how a hand-over ended.
using ShellOutcome = std::function<void(const ShellResult&)>;

class Shell {
public:
    virtual ~Shell() = default;

    // Fire and forget: ok means the target was handed to the desktop, not yet that a program
    // showed it. Callers that must know use launch().
    virtual ShellResult openFile(const QString& path) = 0;      // "open"
    virtual ShellResult exploreFolder(const QString& path) = 0; // "explore"
    virtual ShellResult openUrl(const QString& url) = 0;        // http(s) and mailto links

    // The same hand-over, told its outcome once the desktop has taken or refused the target:
    // `done` runs once, before launch returns or later in the thread of `context` (the
    // application's thread without one), and never after `context` is destroyed. This default
    // reports the fire-and-forget result at once.
    virtual void launch(ShellVerb verb, const QString& target, const QObject* context, ShellOutcome done);

    static Shell& instance();
    static void setInstance(Shell* shell);
};

} // namespace platform
