#include "engine/PageReader.h"

#include <atomic>

namespace {
std::atomic<PageReader*> processReader{nullptr};
}

PageReader* PageReader::installed() {
    return processReader.load();
}

void PageReader::install(PageReader* reader) {
    processReader.store(reader);
}
