#pragma once

#include "convert/ConvertOptions.h"

#include <QString>
#include <functional>

// One job of a batch: one PDF file and the passwords typed in its row.
struct ConvertJob {
    QString pdfPath;
    QString ownerPassword;
    QString userPassword;
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
    FileConverter(const ConvertOptions& options, const QString& configPath, const QString& programDir);
    FileConverter(ConvertOptions&&, const QString&, const QString&) = delete;

    // Receives the progress text of each converted job ("File 2 of 3, 66%").
    void setProgressHandler(std::function<void(const QString&)> handler);

    JobOutcome convert(const ConvertJob& job);

    // The file a PDF converts to with these options: the output folder when it exists, else
    // beside the PDF; the PDF's title with ".txt" or ".htm".
    static QString outputPathFor(const QString& pdfPath, const ConvertOptions& options);

private:
    const ConvertOptions& options;
    QString configPath;
    QString programDir;
    std::function<void(const QString&)> progress;
};
