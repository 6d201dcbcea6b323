#include "core/ConverterApp.h"

#include "core/CMapConfig.h"
#include "platform/ProfileFile.h"
#include "platform/SystemFolders.h"

using platform::ProfileFile;
using platform::SystemFolders;

namespace {

constexpr const char* general = "Output General";
constexpr const char* output = "Output Options";

// One stored option: its place in the file and the field it fills, in the order of writing.
struct StoredOption {
    const char* section;
    const char* key;
    std::int32_t ConvertOptions::*field;
};

const StoredOption storedOptions[] = {
    {general, "Page Range", &ConvertOptions::pageRange},
    {general, "Start Page", &ConvertOptions::startPage},
    {general, "End Page", &ConvertOptions::endPage},
    {general, "Open Result", &ConvertOptions::openResult},
    {output, "Output Mode", &ConvertOptions::outputMode},
    {output, "Layout", &ConvertOptions::layout},
    {output, "Raw Mode", &ConvertOptions::rawMode},
    {output, "End-of-Line", &ConvertOptions::endOfLine},
    {output, "Page Breaks", &ConvertOptions::pageBreaks},
    {output, "Html Meta", &ConvertOptions::htmlMeta},
    {output, "TextEncoding", &ConvertOptions::textEncoding},
};

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
    for (const StoredOption& stored : storedOptions)
        options.*stored.field =
            ProfileFile::readInt(settingsPath, stored.section, stored.key, defaults.*stored.field);
}

void ConverterApp::saveSettings() const {
    for (const StoredOption& stored : storedOptions)
        ProfileFile::writeString(settingsPath, stored.section, stored.key,
                                 std::to_string(options.*stored.field));
}

void ConverterApp::writeEngineConfig() const {
    CMapConfig::write(configPath, programDir);
}

void ConverterApp::resetAllOptions() {
    options.resetToDefaults();
}
