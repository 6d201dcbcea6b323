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

// Pages of the job in progress: done of the range's count, called after each page.
using PageProgress = std::function<void(int pagesDone, int pageCount)>;

// Converts one job: the one seam of the batch loop, so what does the work (this process, or
// worker processes) can change without the loop or the front ends noticing. Messages reach
// the user through platform::Dialogs, naming the PDF as their subject.
class JobConverter {
public:
    virtual ~JobConverter() = default;
    virtual JobOutcome convert(const ConvertJob& job, const ConvertOptions& options,
                               const PageProgress& progress) = 0;
};
