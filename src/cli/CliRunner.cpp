#include "cli/CliRunner.h"

#include "cli/ConsoleDialogs.h"
#include "cli/InProcessEngine.h"
#include "cli/InterruptStop.h"
#include "cli/PrintLine.h"
#include "cli/RunReport.h"
#include "cli/Terminal.h"
#include "cli/TerminalBatchClient.h"
#include "core/BatchRunner.h"
#include "core/ConverterApp.h"
#include "core/OutputNames.h"
#include "core/PdfFinder.h"
#include "core/SummaryReport.h"
#include "platform/HeldFolder.h"
#include "pool/PooledConverter.h"
#include "pool/SummaryClient.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

// An output at least as new as its PDF needs no new conversion, so an interrupted run over a
// large tree resumes where it stopped. Only one of this user's counts: another user could
// plant a file dated in the future in a shared folder to keep a PDF from ever being converted.
bool upToDate(const std::string& pdfPath, const std::string& outputPath) {
    struct stat pdf {};
    struct stat named {};
    struct stat output {};
    if (::stat(pdfPath.c_str(), &pdf) != 0 || ::lstat(outputPath.c_str(), &named) != 0 ||
        ::stat(outputPath.c_str(), &output) != 0 || named.st_uid != ::geteuid() ||
        output.st_uid != ::geteuid())
        return false;
    return std::tie(output.st_mtim.tv_sec, output.st_mtim.tv_nsec) >=
           std::tie(pdf.st_mtim.tv_sec, pdf.st_mtim.tv_nsec);
}

// Nothing is made behind another user's link; each file then says why it is not converted.
bool outputFolderMade(const std::string& folder) {
    const platform::HeldFolder made = platform::HeldFolder::make(folder);
    return made.valid() || !made.refusedLink().empty();
}

} // namespace

CliRunner::CliRunner(ConverterApp& app, ConsoleDialogs& dialogs, std::FILE* out, std::FILE* err)
    : app(app), dialogs(dialogs), out(out), err(err) {}

int CliRunner::run(const std::vector<std::string>& arguments) {
    const platform::Result<CliOptions> parsed = CliOptions::parse(arguments);
    if (!parsed.ok())
        return usageError(parsed.error());
    const CliOptions& cli = parsed.value();
    if (cli.action == CliOptions::Action::Help) {
        std::fputs(CliOptions::helpText().c_str(), out);
        return AllConverted;
    }
    if (cli.action == CliOptions::Action::Version) {
        printLine(out, std::string("folverin-cli ") + FOLVERIN_VERSION);
        return AllConverted;
    }

    app.deriveDataFolder();
    if (cli.useSettings)
        app.loadSettings();
    else
        app.options = ConvertOptions::defaults();
    app.writeEngineConfig();
    cli.applyTo(app.options);
    if (!app.options.outputDirectory.empty() && !outputFolderMade(app.options.outputDirectory))
        return usageError("cannot create the output folder '" + app.options.outputDirectory + "'");

    bool missing = false;
    const std::vector<std::string> files = collectFiles(cli.paths, missing);
    const int status =
        cli.action == CliOptions::Action::Summary ? summarizeAll(files, cli) : convertAll(files, cli);
    return status == AllConverted && missing ? SomeSkipped : status;
}

std::vector<std::string> CliRunner::collectFiles(const std::vector<std::string>& paths, bool& missing) {
    std::vector<std::string> files;
    std::set<std::string> seen;
    auto add = [&](const std::string& file) {
        if (seen.insert(file).second)
            files.push_back(file);
    };
    for (const std::string& path : paths) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            tell(path, "no such file or folder");
            missing = true;
        } else if (S_ISDIR(info.st_mode)) {
            const std::vector<std::string> found = PdfFinder::find(path);
            if (found.empty()) {
                tell(path, "no PDF files found in this folder");
                missing = true;
            }
            for (const std::string& file : found)
                add(file);
        } else {
            add(path);
        }
    }
    return files;
}

int CliRunner::convertAll(const std::vector<std::string>& files, const CliOptions& cli) {
    std::vector<BatchEntry> entries;
    entries.reserve(files.size());
    for (const std::string& file : files) {
        if (!cli.update || !upToDate(file, OutputNames::pathFor(file, app.options)))
            entries.push_back({file});
    }
    TerminalBatchClient client(app.options, cli, static_cast<int>(entries.size()), dialogs, out, err);
    std::unique_ptr<RunReport> report;
    if (!cli.reportPath.empty()) {
        // A report asked for and not written would pass for a run that did nothing.
        report = RunReport::create(cli.reportPath);
        if (!report) {
            tell(cli.reportPath, std::string("cannot write the report: ") + std::strerror(errno));
            return UsageError;
        }
        client.reportTo(*report, entries);
    }
    std::string error;
    const std::optional<PooledConverter::Settings> workers = workersFor(cli, cli.jobs, error);
    if (!workers)
        return brokenInstallation(error);
    PooledConverter converter(*workers);
    BatchRunner runner(converter, client);
    const InterruptStop interrupt(runner);
    const BatchOutcome outcome = runner.run(entries);
    client.batchEnded(outcome);
    if (interrupt.signalCaught() != 0)
        return Interrupted + interrupt.signalCaught();
    if (outcome.end == BatchOutcome::End::EndedEarly)
        return EndedEarly;
    return outcome.skipped > 0 ? SomeSkipped : AllConverted;
}

// Worker processes convert, so a hostile file costs its own job: with -j 1 one of them, forked
// from this process once the engine is loaded, which keeps that mode as quick as converting here.
std::optional<PooledConverter::Settings> CliRunner::workersFor(const CliOptions& cli, int workers,
                                                               std::string& error) const {
    PooledConverter::Settings settings = PooledConverter::forProgram(app.programDir, app.configPath, workers);
    if (cli.jobs != 1)
        return settings;
    const InProcessEngine engine(app.programDir);
    error = engine.error();
    if (!error.empty())
        return std::nullopt;
    settings.pool.serveInFork = engine.worker();
    return settings;
}

int CliRunner::summarizeAll(const std::vector<std::string>& files, const CliOptions& cli) {
    std::string error;
    const std::optional<PooledConverter::Settings> workers = workersFor(cli, 1, error);
    if (!workers)
        return brokenInstallation(error);
    SummaryClient worker(workers->pool);
    int status = AllConverted;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0)
            printLine(out, "");
        std::string failure;
        const SummaryRequest request{files[i], cli.ownerPassword, cli.userPassword};
        const SummaryReport report = *worker.build(request, failure);
        std::fputs(summaryText(report).c_str(), out);
        if (report.documentValid)
            printLine(out, "");
        std::fflush(out);
        if (!report.documentValid) {
            tell(files[i], failure.empty() ? "Not a valid pdf file!" : failure);
            status = SomeSkipped;
        }
    }
    return status;
}

// A terminal is shown the file's name safely; a script is given the exact bytes.
std::string CliRunner::summaryText(const SummaryReport& report) const {
    if (!isTerminal(out))
        return report.plainText();
    std::string text;
    for (const SummaryLine& line : report.lines) {
        if (line.style != SummaryLine::Style::Path) {
            text += line.text;
            continue;
        }
        const bool ended = line.text.ends_with('\n');
        text += terminalSafeText(std::string_view(line.text).substr(0, line.text.size() - ended));
        text += ended ? "\n" : "";
    }
    return text;
}

void CliRunner::tell(const std::string& subject, const std::string& text) {
    platform::MessageRequest request;
    request.text = text;
    request.subject = subject;
    dialogs.messageBox(request);
}

int CliRunner::brokenInstallation(const std::string& message) {
    tell("folverin-cli", message);
    return EndedEarly;
}

int CliRunner::usageError(const std::string& message) {
    tell("folverin-cli", message);
    printLine(err, "Try 'folverin-cli --help' for more information.");
    return UsageError;
}
