#include "core/ConverterApp.h"

#include "core/CMapConfig.h"
#include "core/ConvertOptionFields.h"
#include "platform/ProfileFile.h"
#include "platform/SystemFolders.h"

using platform::ProfileFile;
using platform::SystemFolders;

namespace {

std::int32_t readValue(const std::string& path, const ConvertOptionField& field, std::int32_t fallback) {
    return ProfileFile::readInt(path, field.section, field.key, fallback);
}

std::string readValue(const std::string& path, const ConvertOptionField& field, const std::string& fallback) {
    return ProfileFile::readString(path, field.section, field.key, fallback);
}

std::string storedText(std::int32_t value) {
    return std::to_string(value);
}

std::string storedText(const std::string& value) {
    return value;
}

} // namespace

void ConverterApp::deriveDataFolder(const std::string& programFolder, const std::string& userConfigFolder) {
    programDir = SystemFolders::withTrailingSlash(programFolder);
    const std::string base =
        userConfigFolder.empty() ? programDir : SystemFolders::withTrailingSlash(userConfigFolder);
    dataDir = base + "Corvanta/Folverin/";
    // A fresh account may not have its configuration folder yet, so the whole path is made.
    SystemFolders::makePath(dataDir);
    settingsPath = dataDir + "Settings.ini";
    configPath = dataDir + "CMapConfig.ini";
}

void ConverterApp::deriveDataFolder() {
    deriveDataFolder(SystemFolders::programDir(), SystemFolders::userConfigDir());
}

void ConverterApp::loadSettings() {
    const ConvertOptions defaults = ConvertOptions::defaults();
    for (const ConvertOptionField& field : convertOptionFields()) {
        if (field.stored())
            std::visit(
                [&](auto member) { options.*member = readValue(settingsPath, field, defaults.*member); },
                field.member);
    }
}

void ConverterApp::saveSettings() const {
    for (const ConvertOptionField& field : convertOptionFields()) {
        if (field.stored())
            ProfileFile::writeString(
                settingsPath, field.section, field.key,
                std::visit([this](auto member) { return storedText(options.*member); }, field.member));
    }
}

void ConverterApp::writeEngineConfig() const {
    CMapConfig::write(configPath, programDir);
}

void ConverterApp::resetAllOptions() {
    options.resetToDefaults();
}
