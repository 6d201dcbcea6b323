#pragma once

#include "pool/WorkerMessages.h"

#include <functional>
#include <memory>
#include <string>

class CSummaryEdit;
class SummaryThread;
struct SummaryReport;

// Writes the report on one PDF into the summary pane: the path in bold dark blue, the headings
// bold and underlined, the values plain, all black but the path. A file that is no readable
// PDF keeps its first five lines, followed in red by why: "Not a valid pdf file!", where to
// type the password an encrypted one needs, or what became of the summaryThread that read it. A
// newly shown summary is shown from its first line.
class SummaryPresenter {
public:
    // Told the page count of each valid document shown.
    using PageCountSink = std::function<void(int pageCount)>;

    SummaryPresenter(CSummaryEdit& pane, PageCountSink pageCountSink);
    ~SummaryPresenter();

    // Reports are built by this summaryThread from now on. Until a report comes, and without a
    // thread at all, the pane shows the lines about the file.
    void setThread(std::unique_ptr<SummaryThread> thread);

    // The report on the request's document, opened with its passwords as a conversion would.
    void show(const SummaryRequest& request);
    void clear();

private:
    void present(const SummaryReport& report, const std::string& failure);
    void fill(const SummaryReport& report);

    CSummaryEdit& pane;
    PageCountSink pageCountSink;
    std::unique_ptr<SummaryThread> summaryThread;
};
