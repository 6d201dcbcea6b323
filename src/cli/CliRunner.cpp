#include "cli/CliRunner.h"

#include "convert/ConverterApp.h"
#include "convert/FileConverter.h"
#include "convert/PdfFinder.h"
#include "convert/SummaryReport.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

CliRunner::CliRunner(ConverterApp& app, QTextStream& out, QTextStream& err) : app(app), out(out), err(err) {}

int CliRunner::run(const QStringList& arguments) {
    CliOptions cli;
    QString error;
    if (!CliOptions::parse(arguments, cli, error))
        return usageError(error);
    if (cli.action == CliOptions::Action::Help) {
        out << CliOptions::helpText();
        return AllConverted;
    }
    if (cli.action == CliOptions::Action::Version) {
        out << "folverin-cli " << FOLVERIN_VERSION << '\n';
        return AllConverted;
    }

    app.deriveDataFolder();
    if (cli.useSettings)
        app.loadSettings();
    else
        app.options = ConvertOptions::defaults();
    app.writeEngineConfig();
    cli.applyTo(app.options);
    if (!app.options.outputDirectory.isEmpty() && !QDir().mkpath(app.options.outputDirectory))
        return usageError(
            QStringLiteral("cannot create the output folder '%1'").arg(app.options.outputDirectory));

    bool missing = false;
    const QStringList files = collectFiles(cli.paths, missing);
    const int status =
        cli.action == CliOptions::Action::Summary ? summarizeAll(files) : convertAll(files, cli);
    return status == AllConverted && missing ? SomeSkipped : status;
}

QStringList CliRunner::collectFiles(const QStringList& paths, bool& missing) {
    QStringList files;
    QSet<QString> seen;
    auto add = [&](const QString& file) {
        if (!seen.contains(file)) {
            seen.insert(file);
            files.append(file);
        }
    };
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            for (const QString& file : PdfFinder::find(path))
                add(file);
        } else if (info.exists()) {
            add(path);
        } else {
            err << path << ": no such file or folder\n";
            err.flush();
            missing = true;
        }
    }
    return files;
}

int CliRunner::convertAll(const QStringList& files, const CliOptions& cli) {
    FileConverter converter(app.options, app.configPath, app.programDir);
    if (!cli.quiet)
        converter.setProgressHandler([this](const QString& text) {
            err << text << '\n';
            err.flush();
        });
    int status = AllConverted;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const ConvertJob job{files[i], cli.ownerPassword, cli.userPassword, static_cast<int>(i + 1),
                             static_cast<int>(files.size())};
        switch (converter.convert(job)) {
        case JobOutcome::Converted:
            if (!cli.quiet)
                out << FileConverter::outputPathFor(job.pdfPath, app.options) << '\n';
            break;
        case JobOutcome::Skipped:
            status = SomeSkipped;
            break;
        case JobOutcome::EndBatch:
            return EndedEarly;
        }
        out.flush();
    }
    return status;
}

int CliRunner::summarizeAll(const QStringList& files) {
    int status = AllConverted;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (i > 0)
            out << '\n';
        const SummaryReport report = SummaryReport::build(files[i]);
        out << report.plainText() << (report.documentValid ? "\n" : "");
        out.flush();
        if (!report.documentValid) {
            platform::Dialogs::message(QStringLiteral("Not a valid pdf file!"), platform::MessageButtons::Ok,
                                       files[i]);
            status = SomeSkipped;
        }
    }
    return status;
}

int CliRunner::usageError(const QString& message) {
    err << "folverin-cli: " << message << "\nTry 'folverin-cli --help' for more information.\n";
    err.flush();
    return UsageError;
}
