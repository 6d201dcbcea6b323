#include "cli/CliOptions.h"

#include "convert/CMapConfig.h"

#include <QFile>
#include <QTextStream>

namespace {

constexpr std::int32_t yes = option::yes;
constexpr std::int32_t no = 1;

// A switch that sets one option to one value.
struct Switch {
    const char* name;
    std::optional<std::int32_t> CliOptions::*field;
    std::int32_t value;
};

const Switch switches[] = {
    {"--text", &CliOptions::outputMode, option::textFile},
    {"--html", &CliOptions::outputMode, option::htmlFile},
    {"--meta", &CliOptions::htmlMeta, yes},
    {"--no-meta", &CliOptions::htmlMeta, no},
    {"--layout", &CliOptions::layout, yes},
    {"--no-layout", &CliOptions::layout, no},
    {"--raw", &CliOptions::rawMode, yes},
    {"--no-raw", &CliOptions::rawMode, no},
    {"--page-breaks", &CliOptions::pageBreaks, yes},
    {"--no-page-breaks", &CliOptions::pageBreaks, no},
    {"--all-pages", &CliOptions::pageRange, option::allPages},
};

bool readFirstLine(const QString& path, QString& line, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the password file '%1': %2").arg(path, file.errorString());
        return false;
    }
    line = QString::fromUtf8(file.readLine()).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    return true;
}

bool parsePageNumber(const QString& text, std::int32_t& page, QString& error) {
    bool ok = false;
    page = text.toInt(&ok);
    if (!ok)
        error = QStringLiteral("'%1' is not a page number").arg(text);
    return ok;
}

bool parseEndOfLine(const QString& text, std::int32_t& value, QString& error) {
    const QStringList names{QStringLiteral("dos"), QStringLiteral("unix"), QStringLiteral("mac")};
    value = static_cast<std::int32_t>(names.indexOf(text.toLower()));
    if (value < 0)
        error = QStringLiteral("--eol takes dos, unix or mac, not '%1'").arg(text);
    return value >= 0;
}

bool parseEncoding(const QString& text, std::int32_t& value, QString& error) {
    for (std::size_t i = 0; i < CMapConfig::encodings().size(); ++i) {
        if (text.compare(QLatin1String(CMapConfig::encodings()[i].engineName), Qt::CaseInsensitive) == 0) {
            value = static_cast<std::int32_t>(i);
            return true;
        }
    }
    error = QStringLiteral("unknown encoding '%1' (see --help)").arg(text);
    return false;
}

// An option that takes a value: stores it, or fails with the reason.
bool takeValue(CliOptions& options, const QString& name, const QString& value, QString& error) {
    std::int32_t number = 0;
    if (name == QLatin1String("-o") || name == QLatin1String("--output-dir"))
        options.outputDirectory = value;
    else if (name == QLatin1String("--eol")) {
        if (!parseEndOfLine(value, number, error))
            return false;
        options.endOfLine = number;
    } else if (name == QLatin1String("--encoding")) {
        if (!parseEncoding(value, number, error))
            return false;
        options.textEncoding = number;
    } else if (name == QLatin1String("--first") || name == QLatin1String("--last")) {
        if (!parsePageNumber(value, number, error))
            return false;
        (name == QLatin1String("--first") ? options.startPage : options.endPage) = number;
        options.pageRange = option::selectedPages;
    } else if (name == QLatin1String("--owner-password"))
        options.ownerPassword = value;
    else if (name == QLatin1String("--user-password"))
        options.userPassword = value;
    else if (name == QLatin1String("--owner-password-file"))
        return readFirstLine(value, options.ownerPassword, error);
    else if (name == QLatin1String("--user-password-file"))
        return readFirstLine(value, options.userPassword, error);
    else {
        error = QStringLiteral("unknown option '%1' (see --help)").arg(name);
        return false;
    }
    return true;
}

bool takeFlag(CliOptions& options, const QString& name) {
    for (const Switch& entry : switches) {
        if (name == QLatin1String(entry.name)) {
            options.*entry.field = entry.value;
            return true;
        }
    }
    if (name == QLatin1String("--summary"))
        options.action = CliOptions::Action::Summary;
    else if (name == QLatin1String("--no-settings"))
        options.useSettings = false;
    else if (name == QLatin1String("-q") || name == QLatin1String("--quiet"))
        options.quiet = true;
    else if (name == QLatin1String("-h") || name == QLatin1String("--help"))
        options.action = CliOptions::Action::Help;
    else if (name == QLatin1String("--version"))
        options.action = CliOptions::Action::Version;
    else
        return false;
    return true;
}

template <typename T> void applyIfSet(const std::optional<T>& value, T& target) {
    if (value)
        target = *value;
}

} // namespace

void CliOptions::applyTo(ConvertOptions& options) const {
    applyIfSet(outputDirectory, options.outputDirectory);
    applyIfSet(outputMode, options.outputMode);
    applyIfSet(htmlMeta, options.htmlMeta);
    applyIfSet(layout, options.layout);
    applyIfSet(rawMode, options.rawMode);
    applyIfSet(endOfLine, options.endOfLine);
    applyIfSet(pageBreaks, options.pageBreaks);
    applyIfSet(textEncoding, options.textEncoding);
    applyIfSet(pageRange, options.pageRange);
    applyIfSet(startPage, options.startPage);
    applyIfSet(endPage, options.endPage);
}

bool CliOptions::parse(const QStringList& arguments, CliOptions& options, QString& error) {
    bool pathsOnly = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (pathsOnly || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            options.paths.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            pathsOnly = true;
            continue;
        }
        if (takeFlag(options, argument))
            continue;
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (argument.startsWith(QLatin1String("--")) && equals > 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            error = QStringLiteral("'%1' needs a value").arg(argument);
            return false;
        }
        if (!takeValue(options, argument, value, error))
            return false;
    }
    if (options.paths.isEmpty() && options.action != Action::Help && options.action != Action::Version) {
        error = QStringLiteral("no PDF file or folder given");
        return false;
    }
    return true;
}

QString CliOptions::helpText() {
    QString encodings;
    for (const TextEncoding& encoding : CMapConfig::encodings())
        encodings += QLatin1String(encoding.engineName) + QLatin1Char(' ');
    return QStringLiteral(
               "Usage: folverin-cli [OPTIONS] PATH...\n"
               "Converts PDF files to text or simple HTML files. A PATH is a PDF file or a folder,\n"
               "searched with its subfolders for files ending in .pdf. Options start from your saved\n"
               "settings (which are never changed) and are overridden by:\n"
               "  -o, --output-dir DIR        write the output there (created if missing);\n"
               "                              by default next to each PDF\n"
               "  --text | --html             plain text (.txt) or simple HTML (.htm) output\n"
               "  --meta | --no-meta          HTML meta lines from the document information\n"
               "  --layout | --no-layout      keep the physical layout\n"
               "  --raw | --no-raw            keep the content-stream order\n"
               "  --eol dos|unix|mac          line ends\n"
               "  --page-breaks | --no-page-breaks   form feed between pages\n"
               "  --encoding NAME             output encoding, one of:\n"
               "                              %1\n"
               "  --first N, --last N         convert only these pages (either one selects a range)\n"
               "  --all-pages                 convert all pages\n"
               "  --owner-password PW, --user-password PW\n"
               "  --owner-password-file F, --user-password-file F   the password is the first line of F\n"
               "  --summary                   print a summary of each file instead of converting\n"
               "  --no-settings               start from the default options\n"
               "  -q, --quiet                 no progress text and no list of written files\n"
               "  --help, --version\n"
               "Exit status: 0 all converted, 1 some files skipped, 2 batch ended early or usage error.\n")
        .arg(encodings.trimmed());
}
