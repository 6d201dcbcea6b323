#pragma once

#include "core/ConvertOptions.h"

#include <string>

// What the program holds for its whole run: the options and the folders and files they live
// in. The window and the terminal front end both start from here.
class ConverterApp {
public:
    ConvertOptions options; // all zero until loaded

    std::string programDir;   // with trailing '/'
    std::string dataDir;      // with trailing '/'
    std::string settingsPath; // dataDir + "Settings.ini"
    std::string configPath;   // dataDir + "CMapConfig.ini"

    // Sets programDir and dataDir (creating "Corvanta/Folverin/" in the user's configuration
    // folder, or in the program's folder when there is none) and the two file paths. Folder
    // creation failures are silent: the files then simply cannot be read or written.
    void deriveDataFolder(const std::string& programFolder, const std::string& userConfigFolder);
    // The same for the running program and the real user.
    void deriveDataFolder();

    void loadSettings();
    void saveSettings() const;
    void writeEngineConfig() const;

    // Reset All Options, once the user said Yes (the caller then rebuilds what shows them).
    // Nothing is written until exit.
    void resetAllOptions();
};
