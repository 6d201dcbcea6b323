#include "ui/SummaryPresenter.h"

#include "controls/chrome/SummaryEdit.h"
#include "core/SummaryReport.h"
#include "platform/NativePath.h"
#include "ui/SummaryThread.h"

#include <cstddef>

namespace {

constexpr platform::COLORREF PATH_COLOR = platform::RGB(0, 0, 192);
constexpr platform::COLORREF TEXT_COLOR = platform::RGB(0, 0, 0);
constexpr platform::COLORREF FAILURE_COLOR = platform::RGB(255, 0, 0);

CSummaryEdit::CharFormat formatOf(SummaryLine::Style style) {
    switch (style) {
    case SummaryLine::Style::Path:
        return {true, false, PATH_COLOR};
    case SummaryLine::Style::Heading:
        return {true, true, TEXT_COLOR};
    case SummaryLine::Style::Plain:
        break;
    }
    return {false, false, TEXT_COLOR};
}

// The path line holds the file system's bytes; every other line is UTF-8 text.
QString textOf(const SummaryLine& line) {
    if (line.style == SummaryLine::Style::Path)
        return platform::fromNativePath(line.text);
    return QString::fromStdString(line.text);
}

// Why the document part is missing: the summaryThread's own account when it did not survive the file.
std::string failureOf(const SummaryReport& report, const std::string& workerFailure) {
    if (!workerFailure.empty())
        return workerFailure;
    if (report.encrypted)
        return "This PDF file needs a password: type it in the job's User Password cell.";
    return "Not a valid pdf file!";
}

} // namespace

SummaryPresenter::SummaryPresenter(CSummaryEdit& summaryPane, PageCountSink sink)
    : pane(summaryPane), pageCountSink(std::move(sink)) {}

SummaryPresenter::~SummaryPresenter() = default;

void SummaryPresenter::setThread(std::unique_ptr<SummaryThread> thread) {
    summaryThread = std::move(thread);
}

void SummaryPresenter::show(const SummaryRequest& request) {
    fill(SummaryReport::fileFacts(request.pdfPath));
    if (!summaryThread)
        return;
    summaryThread->request(request, [this](const SummaryReport& report, const std::string& failure) {
        present(report, failure);
    });
}

// A failure is written into the pane rather than shown in a message box: the click that asked
// for the summary may be the one that starts typing a password, and a box would take the keys.
void SummaryPresenter::present(const SummaryReport& report, const std::string& failure) {
    fill(report);
    if (!failure.empty() || !report.documentValid) {
        pane.AppendText(QString::fromStdString(failureOf(report, failure)), {false, false, FAILURE_COLOR});
        pane.ShowFromTop();
        return;
    }
    if (pageCountSink)
        pageCountSink(report.pageCount);
}

void SummaryPresenter::fill(const SummaryReport& report) {
    for (std::size_t i = 0; i < report.lines.size(); ++i) {
        const SummaryLine& line = report.lines[i];
        if (i == 0)
            pane.ReplaceAll(textOf(line), formatOf(line.style));
        else
            pane.AppendText(textOf(line), formatOf(line.style));
    }
    pane.ShowFromTop();
}

void SummaryPresenter::clear() {
    if (summaryThread)
        summaryThread->forget();
    pane.clear();
}
