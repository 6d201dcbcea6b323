#pragma once

#include <QString>

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

class Shell {
public:
    virtual ~Shell() = default;

    virtual ShellResult openFile(const QString& path) = 0;      // "open"
    virtual ShellResult exploreFolder(const QString& path) = 0; // "explore"
    virtual ShellResult openUrl(const QString& url) = 0;        // http(s) and mailto links

    static Shell& instance();
    static void setInstance(Shell* shell);
};

} // namespace platform
