#include "engine/RecognizerModule.h"

#include "core/OcrLanguages.h"
#include "engine/Engine.h"
#include "platform/SystemFolders.h"

#include <cstdlib>
#include <dlfcn.h>

RecognizerModule::RecognizerModule(std::string modulePath) : modulePath(std::move(modulePath)) {}

void RecognizerModule::installForProcess() {
    // The recognizer's thread library reads this when it loads: each process reads one page
    // at a time, and threads of its own would only crowd the cores the workers share.
    ::setenv("OMP_THREAD_LIMIT", "1", 0);
    static RecognizerModule module(platform::SystemFolders::programDir() + OcrLanguages::recognizerModule);
    PageReader::install(&module);
}

PageReader* RecognizerModule::loaded() {
    std::call_once(loading, [this] {
        // Never closed: its reader and the recognizer's models live until the process ends.
        void* const module = ::dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
        using NewReader = PageReader* (*)(EngineLock);
        const auto newReader =
            module ? reinterpret_cast<NewReader>(::dlsym(module, "folverinNewPageReader")) : nullptr;
        if (newReader)
            reader = newReader(engine::lock);
    });
    return reader;
}

bool RecognizerModule::hasLanguages(const std::string& languages) {
    PageReader* const module = loaded();
    return module && module->hasLanguages(languages);
}

PageReader::Page RecognizerModule::read(PDFDoc& document, int page, const std::string& languages,
                                        double dotsPerInch) {
    PageReader* const module = loaded();
    return module ? module->read(document, page, languages, dotsPerInch) : Page{};
}
