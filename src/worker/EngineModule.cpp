// The PDF engine for folverin-cli's one-process mode (-j 1), built as a module of its own and
// loaded only when that mode is asked for: a run that converts in worker processes never maps
// the engine and the many libraries it pulls in.
#include "core/SummaryReport.h"
#include "engine/FileConverter.h"
#include "ocr/TesseractReader.h"

#define FOLVERIN_ENGINE_EXPORT extern "C" __attribute__((visibility("default")))

// What a job tells goes to the feedback its caller gives for it, so the module's own copy of
// the platform layer holds no state of the program's.
FOLVERIN_ENGINE_EXPORT JobConverter* folverinNewFileConverter(const std::string& configPath,
                                                              const std::string& programDir) {
    TesseractReader::installForProcess();
    return new FileConverter(configPath, programDir);
}

FOLVERIN_ENGINE_EXPORT void folverinBuildSummary(const std::string& pdfPath, const std::string& ownerPassword,
                                                 const std::string& userPassword, SummaryReport& report) {
    report = SummaryReport::build(pdfPath, ownerPassword, userPassword);
}
