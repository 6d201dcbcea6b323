#include "engine/PageReader.h"

#include <algorithm>
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

double PageReader::readingResolution(double imageDotsPerInch) {
    return std::clamp(imageDotsPerInch, minDotsPerInch, maxDotsPerInch);
}
