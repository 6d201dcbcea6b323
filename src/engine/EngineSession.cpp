#include "engine/EngineSession.h"

#include "core/CMapConfig.h"
#include "core/ConvertOptions.h"
#include "core/JobFeedback.h"
#include "engine/EngineDataFolder.h"
#include "platform/FileContents.h"

#include <GlobalParams.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

EndOfLineKind endOfLineKind(int endOfLine) {
    const char* name = CMapConfig::endOfLineName(endOfLine);
    if (std::strcmp(name, "unix") == 0)
        return eolUnix;
    if (std::strcmp(name, "mac") == 0)
        return eolMac;
    return eolDOS;
}

// A configuration line of the name decides first; without one, a name the engine knows by
// another name takes the engine's built-in table.
const char* builtInNameFor(const std::string& encodingName) {
    return encodingName == "ASCII" ? "ASCII7" : nullptr;
}

// The fallback is announced by its path; a configuration file that is a folder (which no
// start can write over) is named with what is wrong with it, or the user could not mend it.
std::string fallbackNotice(const std::string& configPath, const std::string& programConfig) {
    std::error_code error;
    if (!std::filesystem::is_directory(configPath, error))
        return programConfig;
    return "The engine configuration '" + configPath +
           "' is a folder, not a file, so the engine looks for its configuration in '" + programConfig + "'.";
}

} // namespace

EngineSession::EngineSession(const std::string& configText, const ConvertOptions& options)
    : eol(endOfLineKind(options.endOfLine)), breaks(options.pageBreaks == option::yes) {
    static EngineDataFolder folders;
    dataFolder = folders.folderFor(configText);
    // Without a folder of our own (no folder can be made at all) the engine's installed
    // tables are better than none.
    globalParams = std::make_unique<GlobalParams>(dataFolder.empty() ? nullptr : dataFolder.c_str());
    const std::string encodingName = CMapConfig::encodingName(options.textEncoding);
    globalParams->setTextEncoding(encodingName.c_str());
    if (!globalParams->getTextEncoding() && builtInNameFor(encodingName))
        globalParams->setTextEncoding(builtInNameFor(encodingName));
}

const UnicodeMap* EngineSession::textMap() const {
    return globalParams->getTextEncoding();
}

std::string EngineSession::missingTableMessage(const std::string& encodingName, const std::string& pdfPath) {
    return "No table for the text encoding '" + encodingName + "' is installed, so the '" + pdfPath +
           "' file is not converted. Please choose another text encoding.";
}

EngineSession::~EngineSession() {
    globalParams.reset();
}

// Without a readable configuration file the engine looks for its own: first in the user's
// home folder, then beside the program, announcing the latter by its path.
std::string EngineSession::readConfiguration(const std::string& configPath, const std::string& programDir,
                                             const std::string& pdfPath, JobFeedback& feedback) {
    std::string text;
    if (platform::FileContents::read(configPath, text))
        return text;
    const char* home = std::getenv("HOME");
    if (home && *home && platform::FileContents::read(std::string(home) + "/.xpdfrc", text))
        return text;
    const std::string programConfig = programDir + "xpdfrc";
    feedback.message({fallbackNotice(configPath, programConfig), pdfPath});
    platform::FileContents::read(programConfig, text);
    return text;
}
