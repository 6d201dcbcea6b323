#pragma once

#include "platform/Shell.h"

namespace platform {

// Shell that hands files, folders and links to the desktop's own programs.
class DesktopShell : public Shell {
public:
    ShellResult openFile(const QString& path) override;
    ShellResult exploreFolder(const QString& path) override;
    ShellResult openUrl(const QString& url) override;
};

} // namespace platform
