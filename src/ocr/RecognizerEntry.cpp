// The text recognizer as a module of its own (folverin-ocr.so): the programs that read scans
// load it the first time a page is to be read, so work on text never maps Tesseract and the
// many libraries it pulls in.
#include "ocr/TesseractReader.h"

#define FOLVERIN_OCR_EXPORT extern "C" __attribute__((visibility("default")))

// The reader lives as long as the process: the module is never unloaded.
FOLVERIN_OCR_EXPORT PageReader* folverinNewPageReader(PageReader::EngineLock engineLock) {
    return new TesseractReader(engineLock);
}
