// Converts PDFs in this process with scanned-page recognition set as asked, so a benchmark
// can time what telling scans from text costs a text document, free of worker start-up.
//
// Usage: bench_ocr_convert RECOGNIZE OUTPUT_FOLDER PDF...   (RECOGNIZE: 0 No, 1 Pages Without
// Text, 2 All Pages)
#include "core/CMapConfig.h"
#include "core/ConvertOptions.h"
#include "engine/FileConverter.h"
#include "ocr/TesseractReader.h"
#include "platform/SystemFolders.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Messages go to stderr; the pages are not counted.
struct StderrFeedback : JobFeedback {
    void pageProgress(int, int) override {}
    void message(const JobMessage& message) override {
        std::fprintf(stderr, "%s: %s\n", message.subject.c_str(), message.text.c_str());
    }
};

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_ocr_convert RECOGNIZE OUTPUT_FOLDER PDF...\n");
        return 2;
    }
    TesseractReader::installForProcess();
    const std::string programDir = platform::SystemFolders::programDir();
    const std::string outputFolder = std::string(argv[2]) + "/";
    const std::string configPath = outputFolder + "CMapConfig.ini";
    CMapConfig::write(configPath, programDir);
    ConvertOptions options = ConvertOptions::defaults();
    options.recognizeScannedPages = std::atoi(argv[1]);
    options.outputDirectory = outputFolder;
    FileConverter converter(configPath, programDir);
    StderrFeedback feedback;
    int status = 0;
    for (int i = 3; i < argc; ++i) {
        ConvertJob job;
        job.pdfPath = argv[i];
        if (converter.convert(job, options, feedback) != JobOutcome::Converted)
            status = 1;
    }
    return status;
}
