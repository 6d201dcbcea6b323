#pragma once

#include <functional>
#include <string>

class CSummaryEdit;

// Writes the report on one PDF into the summary pane: the path in bold dark blue, the headings
// bold and underlined, the values plain, all black but the path. A file that is no readable
// PDF keeps its first five lines and is reported with "Not a valid pdf file!".
class SummaryPresenter {
public:
    // Told the page count of each valid document shown.
    using PageCountSink = std::function<void(int pageCount)>;

    SummaryPresenter(CSummaryEdit& pane, PageCountSink pageCountSink);

    void show(const std::string& pdfPath);
    void clear();

private:
    CSummaryEdit& pane;
    PageCountSink pageCountSink;
};
