#pragma once

#include <QString>

// Where the program runs from and where per-user configuration lives.
namespace platform {

class SystemFolders {
public:
    // Folder of the running executable with a trailing '/'.
    static QString programDir();
    // The per-user configuration folder ($XDG_CONFIG_HOME, else ~/.config) with a trailing
    // '/', or an empty string when neither can be determined.
    static QString userConfigDir();
    // path with exactly one '/' appended when it does not end in one already.
    static QString withTrailingSlash(const QString& path);
};

} // namespace platform
