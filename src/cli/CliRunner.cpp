#include "cli/CliRunner.h"

#include "convert/ConverterApp.h"
#include "convert/FileConverter.h"
#include "convert/PdfFinder.h"
#include "convert/SummaryReport.h"
#include "platform/Dialogs.h"
#include "platform/SystemFolders.h"

#include <set>
#include <sys/stat.h>

CliRunner::CliRunner(ConverterApp& app, std::FILE* out, std::FILE* err) : app(app), out(out), err(err) {}

int CliRunner::run(const std::vector<std::string>& arguments) {
    CliOptions cli;
    std::string error;
    if (!CliOptions::parse(arguments, cli, error))
        return usageError(error);
    if (cli.action == CliOptions::Action::Help) {
        std::fputs(CliOptions::helpText().c_str(), out);
        return AllConverted;
    }
    if (cli.action == CliOptions::Action::Version) {
        print(out, std::string("folverin-cli ") + FOLVERIN_VERSION);
        return AllConverted;
    }

    app.deriveDataFolder();
    if (cli.useSettings)
        app.loadSettings();
    else
        app.options = ConvertOptions::defaults();
    app.writeEngineConfig();
    cli.applyTo(app.options);
    if (!app.options.outputDirectory.empty() &&
        !platform::SystemFolders::makePath(app.options.outputDirectory))
        return usageError("cannot create the output folder '" + app.options.outputDirectory + "'");

    bool missing = false;
    const std::vector<std::string> files = collectFiles(cli.paths, missing);
    const int status =
        cli.action == CliOptions::Action::Summary ? summarizeAll(files) : convertAll(files, cli);
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
            print(err, path + ": no such file or folder");
            missing = true;
        } else if (S_ISDIR(info.st_mode)) {
            for (const std::string& file : PdfFinder::find(path))
                add(file);
        } else {
            add(path);
        }
    }
    return files;
}

int CliRunner::convertAll(const std::vector<std::string>& files, const CliOptions& cli) {
    FileConverter converter(app.options, app.configPath, app.programDir);
    if (!cli.quiet)
        converter.setProgressHandler([this](const std::string& text) { print(err, text); });
    int status = AllConverted;
    const int count = static_cast<int>(files.size());
    for (int i = 0; i < count; ++i) {
        const ConvertJob job{files[static_cast<std::size_t>(i)], cli.ownerPassword, cli.userPassword, i + 1,
                             count};
        switch (converter.convert(job)) {
        case JobOutcome::Converted:
            if (!cli.quiet)
                print(out, FileConverter::outputPathFor(job.pdfPath, app.options));
            break;
        case JobOutcome::Skipped:
            status = SomeSkipped;
            break;
        case JobOutcome::EndBatch:
            return EndedEarly;
        }
    }
    return status;
}

int CliRunner::summarizeAll(const std::vector<std::string>& files) {
    int status = AllConverted;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0)
            print(out, "");
        const SummaryReport report = SummaryReport::build(files[i]);
        std::fputs(report.plainText().c_str(), out);
        if (report.documentValid)
            print(out, "");
        std::fflush(out);
        if (!report.documentValid) {
            platform::Dialogs::message("Not a valid pdf file!", platform::MessageButtons::Ok, files[i]);
            status = SomeSkipped;
        }
    }
    return status;
}

int CliRunner::usageError(const std::string& message) {
    print(err, "folverin-cli: " + message + "\nTry 'folverin-cli --help' for more information.");
    return UsageError;
}

void CliRunner::print(std::FILE* stream, const std::string& line) {
    std::fprintf(stream, "%s\n", line.c_str());
    std::fflush(stream);
}
