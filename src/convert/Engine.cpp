#include "convert/Engine.h"

#include <ErrorCodes.h>
#include <PDFDoc.h>
#include <QFile>
#include <QFileInfo>
#include <goo/GooString.h>
#include <optional>

namespace engine {

namespace {

// The engine reports every oddity of a damaged file on stderr; a batch must not spam the
// terminal, and what matters reaches the user through the conversion's own messages.
void ignoreEngineError(ErrorCategory, Goffset, const char*) {}

std::optional<GooString> password(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    return GooString(text.toStdString());
}

} // namespace

std::unique_lock<std::mutex> lock() {
    static std::mutex engineMutex;
    static std::once_flag routed;
    std::call_once(routed, [] { setErrorCallback(ignoreEngineError); });
    return std::unique_lock<std::mutex>(engineMutex);
}

std::unique_ptr<PDFDoc> openDocument(const QString& path, const QString& ownerPassword,
                                     const QString& userPassword) {
    auto fileName = std::make_unique<GooString>(QFile::encodeName(path).toStdString());
    if (!QFileInfo(path).isFile())
        return PDFDoc::ErrorPDFDoc(errOpenFile, std::move(fileName));
    return std::make_unique<PDFDoc>(std::move(fileName), password(ownerPassword), password(userPassword));
}

} // namespace engine
