#pragma once

#include "convert/ConvertOptions.h"

#include <functional>
#include <string>

// One job of a batch: one PDF file and the passwords typed in its row.
struct ConvertJob {
    std::string pdfPath;
    std::string ownerPassword;
    std::string userPassword;
    int jobNumber = 1; // 1-based
    int jobCount = 1;
};

enum class JobOutcome {
    Converted,
    Skipped,  // the user was told why; the batch goes on
    EndBatch, // the page range does not fit the document; no later job may run
};

// Turns one PDF file into a text or HTML file with the current options. Every message goes
// through Dialogs, naming the PDF as its subject.
class FileConverter {
public:
    // The options are read afresh at every job (a change between jobs counts), so they must
    // outlive the converter.
    FileConverter(const ConvertOptions& options, std::string configPath, std::string programDir);
    FileConverter(ConvertOptions&&, std::string, std::string) = delete;

    // Receives the progress text of each converted job ("File 2 of 3, 66%").
    void setProgressHandler(std::function<void(const std::string&)> handler);

    JobOutcome convert(const ConvertJob& job);

    // The file a PDF converts to with these options: the output folder when it exists, else
    // beside the PDF; the PDF's title with ".txt" or ".htm".
    static std::string outputPathFor(const std::string& pdfPath, const ConvertOptions& options);

private:
    const ConvertOptions& options;
    std::string configPath;
    std::string programDir;
    std::function<void(const std::string&)> progress;
};
