#pragma once

#include "engine/PageReader.h"

#include <mutex>
#include <string>

// The text recognizer's module in this process's reader seat, loaded the first time a page is
// to be read: a process that converts text never maps the recognizer. When the module cannot
// be loaded, no language counts as installed, so a job says it reads no scans and keeps the
// text its scanned pages have.
class RecognizerModule : public PageReader {
public:
    explicit RecognizerModule(std::string modulePath);

    bool hasLanguages(const std::string& languages) override;
    Page read(PDFDoc& document, int page, const std::string& languages, double dotsPerInch) override;

    // Makes the module beside the running program this process's reader.
    static void installForProcess();

private:
    // The module's reader; null when the module cannot be loaded.
    PageReader* loaded();

    std::string modulePath;
    std::once_flag loading;
    PageReader* reader = nullptr; // made by the module, which is never unloaded
};
