#include "engine/Engine.h"

#include <ErrorCodes.h>
#include <PDFDoc.h>
#include <goo/GooString.h>
#include <optional>
#include <sys/stat.h>

namespace engine {

namespace {

// The engine reports every oddity of a damaged file on stderr; a batch must not spam the
// terminal, and what matters reaches the user through the conversion's own messages.
void ignoreEngineError(ErrorCategory, Goffset, const char*) {}

std::optional<GooString> password(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    return GooString(text);
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::unique_lock<std::mutex> lock() {
    static std::mutex engineMutex;
    static std::once_flag routed;
    std::call_once(routed, [] { setErrorCallback(ignoreEngineError); });
    return std::unique_lock<std::mutex>(engineMutex);
}

std::unique_ptr<PDFDoc> openDocument(const std::string& path, const std::string& ownerPassword,
                                     const std::string& userPassword) {
    auto fileName = std::make_unique<GooString>(path);
    if (!isRegularFile(path))
        return PDFDoc::ErrorPDFDoc(errOpenFile, std::move(fileName));
    return std::make_unique<PDFDoc>(std::move(fileName), password(ownerPassword), password(userPassword));
}

} // namespace engine
