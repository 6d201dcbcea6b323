#include "cli/CliOptions.h"

#include "convert/CMapConfig.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <strings.h>

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

bool sameIgnoringCase(const std::string& a, const char* b) {
    return ::strcasecmp(a.c_str(), b) == 0;
}

bool readFirstLine(const std::string& path, std::string& line, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read the password file '" + path + "'";
        return false;
    }
    std::getline(file, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

bool parsePageNumber(const std::string& text, std::int32_t& page, std::string& error) {
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, page);
    if (failure != std::errc() || stop != end || text.empty()) {
        error = "'" + text + "' is not a page number";
        return false;
    }
    return true;
}

bool parseJobCount(const std::string& name, const std::string& text, int& jobs, std::string& error) {
    const char* end = text.data() + text.size();
    int number = 0;
    const auto [stop, failure] = std::from_chars(text.data(), end, number);
    if (failure != std::errc() || stop != end || text.empty() || number < 1 || number > CliOptions::maxJobs) {
        error = name + " takes a number of processes from 1 to " + std::to_string(CliOptions::maxJobs) +
                ", not '" + text + "'";
        return false;
    }
    jobs = number;
    return true;
}

bool parseEndOfLine(const std::string& text, std::int32_t& value, std::string& error) {
    for (std::int32_t i = 0; i < 3; ++i) {
        if (sameIgnoringCase(text, CMapConfig::endOfLineName(i))) {
            value = i;
            return true;
        }
    }
    error = "--eol takes dos, unix or mac, not '" + text + "'";
    return false;
}

bool parseEncoding(const std::string& text, std::int32_t& value, std::string& error) {
    const auto& encodings = CMapConfig::encodings();
    const auto found = std::find_if(encodings.begin(), encodings.end(), [&](const TextEncoding& encoding) {
        return sameIgnoringCase(text, encoding.engineName);
    });
    if (found == encodings.end()) {
        error = "unknown encoding '" + text + "' (see --help)";
        return false;
    }
    value = static_cast<std::int32_t>(found - encodings.begin());
    return true;
}

// An option that takes a value: stores it, or fails with the reason.
bool takeValue(CliOptions& options, const std::string& name, const std::string& value, std::string& error) {
    std::int32_t number = 0;
    if (name == "-o" || name == "--output-dir") {
        options.outputDirectory = value;
    } else if (name == "-j" || name == "--jobs") {
        return parseJobCount(name, value, options.jobs, error);
    } else if (name == "--eol") {
        if (!parseEndOfLine(value, number, error))
            return false;
        options.endOfLine = number;
    } else if (name == "--encoding") {
        if (!parseEncoding(value, number, error))
            return false;
        options.textEncoding = number;
    } else if (name == "--first" || name == "--last") {
        if (!parsePageNumber(value, number, error))
            return false;
        (name == "--first" ? options.startPage : options.endPage) = number;
        options.pageRange = option::selectedPages;
    } else if (name == "--owner-password") {
        options.ownerPassword = value;
    } else if (name == "--user-password") {
        options.userPassword = value;
    } else if (name == "--owner-password-file") {
        return readFirstLine(value, options.ownerPassword, error);
    } else if (name == "--user-password-file") {
        return readFirstLine(value, options.userPassword, error);
    } else {
        error = "unknown option '" + name + "' (see --help)";
        return false;
    }
    return true;
}

bool takeFlag(CliOptions& options, const std::string& name) {
    for (const Switch& entry : switches) {
        if (name == entry.name) {
            options.*entry.field = entry.value;
            return true;
        }
    }
    if (name == "--summary")
        options.action = CliOptions::Action::Summary;
    else if (name == "--no-settings")
        options.useSettings = false;
    else if (name == "-q" || name == "--quiet")
        options.quiet = true;
    else if (name == "--update")
        options.update = true;
    else if (name == "-h" || name == "--help")
        options.action = CliOptions::Action::Help;
    else if (name == "--version")
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

bool CliOptions::parse(const std::vector<std::string>& arguments, CliOptions& options, std::string& error) {
    bool pathsOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (pathsOnly || !argument.starts_with('-') || argument == "-") {
            options.paths.push_back(argument);
            continue;
        }
        if (argument == "--") {
            pathsOnly = true;
            continue;
        }
        if (takeFlag(options, argument))
            continue;
        std::string value;
        const std::size_t equals = argument.find('=');
        if (argument.starts_with("--") && equals != std::string::npos) {
            value = argument.substr(equals + 1);
            argument.resize(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            error = "'" + argument + "' needs a value";
            return false;
        }
        if (!takeValue(options, argument, value, error))
            return false;
    }
    if (options.paths.empty() && options.action != Action::Help && options.action != Action::Version) {
        error = "no PDF file or folder given";
        return false;
    }
    return true;
}

std::string CliOptions::helpText() {
    std::string encodings;
    for (const TextEncoding& encoding : CMapConfig::encodings())
        encodings += std::string(encodings.empty() ? "" : " ") + encoding.engineName;
    return "Usage: folverin-cli [OPTIONS] PATH...\n"
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
           "                              " +
           encodings +
           "\n"
           "  --first N, --last N         convert only these pages (either one selects a range)\n"
           "  --all-pages                 convert all pages\n"
           "  --owner-password PW, --user-password PW\n"
           "  --owner-password-file F, --user-password-file F   the password is the first line of F\n"
           "  --summary                   print a summary of each file instead of converting\n"
           "  --no-settings               start from the default options\n"
           "  -q, --quiet                 no progress text and no list of written files\n"
           "  --update                    convert only files whose output is missing or older than the PDF\n"
           "  -j, --jobs N                convert with N worker processes (default: one per core);\n"
           "                              1 converts in this process\n"
           "  --help, --version\n"
           "Exit status: 0 all converted, 1 some files skipped, 2 batch ended early or usage error.\n";
}
