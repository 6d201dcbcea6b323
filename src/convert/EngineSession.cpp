#include "convert/EngineSession.h"

#include "convert/CMapConfig.h"
#include "convert/ConvertOptions.h"
#include "convert/EngineDataFolder.h"
#include "platform/Dialogs.h"

#include <GlobalParams.h>
#include <QFile>
#include <QStandardPaths>
#include <cstring>

namespace {

EndOfLineKind endOfLineKind(int endOfLine) {
    const char* name = CMapConfig::endOfLineName(endOfLine);
    if (std::strcmp(name, "unix") == 0)
        return eolUnix;
    if (std::strcmp(name, "mac") == 0)
        return eolMac;
    return eolDOS;
}

bool readFile(const QString& path, QByteArray& contents) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    contents = file.readAll();
    return true;
}

} // namespace

EngineSession::EngineSession(const QByteArray& configText, const ConvertOptions& options)
    : eol(endOfLineKind(options.endOfLine)), breaks(options.pageBreaks == option::yes) {
    static EngineDataFolder folders;
    dataFolder = QFile::encodeName(folders.folderFor(configText));
    // Without a folder of our own (no temporary folder can be made) the engine's installed
    // tables are better than none.
    globalParams = std::make_unique<GlobalParams>(dataFolder.isEmpty() ? nullptr : dataFolder.constData());
    // Asked for by name: this engine's own default text encoding is UTF-8, not Latin1.
    latin1Map = globalParams->getUnicodeMap("Latin1");
    globalParams->setTextEncoding(CMapConfig::encodingName(options.textEncoding).toLatin1().constData());
}

EngineSession::~EngineSession() {
    globalParams.reset();
}

// Without a readable configuration file the engine looks for its own: first in the user's
// home folder, then beside the program, announcing the latter by its path.
QByteArray EngineSession::readConfiguration(const QString& configPath, const QString& programDir,
                                            const QString& pdfPath) {
    QByteArray text;
    if (readFile(configPath, text))
        return text;
    const QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    if (!home.isEmpty() && readFile(home + QStringLiteral("/.xpdfrc"), text))
        return text;
    const QString programConfig = programDir + QStringLiteral("xpdfrc");
    platform::Dialogs::message(programConfig, platform::MessageButtons::Ok, pdfPath);
    readFile(programConfig, text);
    return text;
}
