#include "cli/CliOptions.h"

#include "core/CMapConfig.h"
#include "platform/UniqueFd.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <iterator>
#include <limits>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::Failure;
using platform::Status;

namespace {

bool sameIgnoringCase(const std::string& a, const char* b) {
    return ::strcasecmp(a.c_str(), b) == 0;
}

// A password line longer than this is no password: a wrong file (or a device) was named.
constexpr std::size_t maxPasswordLine = 64u << 10;

// The first line of a password file, without its line end. A pipe or FIFO serves as well as a
// plain file (--user-password-file <(pass show x)): it is read until its first line end or its
// end, and never more than maxPasswordLine bytes.
Status readFirstLine(const std::string& path, std::string& line) {
    const platform::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0)
        return Failure{"cannot read the password file '" + path + "'"};
    if (S_ISDIR(info.st_mode))
        return Failure{"the password file '" + path + "' is a folder, not a file"};
    std::string text;
    char buffer[4096];
    while (text.find('\n') == std::string::npos && text.size() <= maxPasswordLine) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return Failure{"cannot read the password file '" + path + "'"};
        if (count == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(count));
    }
    text.resize(std::min(text.find('\n'), text.size()));
    if (text.size() > maxPasswordLine)
        return Failure{"the first line of the password file '" + path + "' is longer than 64 KiB"};
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    line = std::move(text);
    return {};
}

Status takeJobCount(CliOptions& options, const std::string& name, const std::string& text) {
    const char* end = text.data() + text.size();
    int number = 0;
    const auto [stop, failure] = std::from_chars(text.data(), end, number);
    if (failure != std::errc() || stop != end || text.empty() || number < 1 || number > CliOptions::maxJobs)
        return Failure{name + " takes a number of processes from 1 to " +
                       std::to_string(CliOptions::maxJobs) + ", not '" + text + "'"};
    options.jobs = number;
    return {};
}

std::size_t fieldIndex(ConvertOptionField::IntMember member) {
    const auto fields = convertOptionFields();
    const auto found = std::find_if(fields.begin(), fields.end(),
                                    [member](const ConvertOptionField& field) { return field.is(member); });
    assert(found != fields.end());
    return static_cast<std::size_t>(found - fields.begin());
}

// Marks a field as set by the arguments; its value is then in given.
void markGiven(CliOptions& options, ConvertOptionField::IntMember member) {
    options.givenFields[fieldIndex(member)] = true;
}

Status takeEndOfLine(std::int32_t& value, const std::string& text) {
    for (std::int32_t i = 0; i < 3; ++i) {
        if (sameIgnoringCase(text, CMapConfig::endOfLineName(i))) {
            value = i;
            return {};
        }
    }
    return Failure{"--eol takes dos, unix or mac, not '" + text + "'"};
}

// In the order of the option's values: no, pages without text, all pages.
Status takeOcrMode(std::int32_t& value, const std::string& text) {
    const char* const modes[] = {"no", "auto", "all"};
    for (std::int32_t i = 0; i < 3; ++i) {
        if (sameIgnoringCase(text, modes[i])) {
            value = i;
            return {};
        }
    }
    return Failure{"--ocr takes no, auto or all, not '" + text + "'"};
}

Status takeEncoding(std::int32_t& value, const std::string& text) {
    const auto& encodings = CMapConfig::encodings();
    const auto found = std::find_if(encodings.begin(), encodings.end(), [&](const TextEncoding& encoding) {
        return sameIgnoringCase(text, encoding.engineName);
    });
    if (found == encodings.end())
        return Failure{"unknown encoding '" + text + "' (see --help)"};
    value = static_cast<std::int32_t>(found - encodings.begin());
    return {};
}

Status takePage(CliOptions& options, std::int32_t& value, const std::string& text) {
    const char* end = text.data() + text.size();
    std::int32_t page = 0;
    const auto [stop, failure] = std::from_chars(text.data(), end, page);
    if (failure != std::errc() || stop != end || text.empty())
        return Failure{"'" + text + "' is not a page number"};
    value = page;
    options.given.pageRange = option::selectedPages;
    markGiven(options, &ConvertOptions::pageRange);
    return {};
}

// The field spelt by this name and, for a flag, the value the name stands for.
struct FieldName {
    std::size_t index;
    std::int32_t flagValue;
};

std::optional<FieldName> findFieldName(const std::string& name) {
    const auto fields = convertOptionFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        for (std::size_t value = 0; value < std::size(fields[i].cli.names); ++value) {
            const char* spelt = fields[i].cli.names[value];
            if (spelt && name == spelt)
                return FieldName{i, static_cast<std::int32_t>(value)};
        }
    }
    return std::nullopt;
}

const ConvertOptionField& fieldOf(const FieldName& name) {
    return convertOptionFields()[name.index];
}

void setFlagField(CliOptions& options, const FieldName& name) {
    options.givenFields[name.index] = true;
    options.given.*std::get<ConvertOptionField::IntMember>(fieldOf(name).member) = name.flagValue;
}

// A field's value from the command line, by the form the field is spelt in.
Status takeFieldValue(CliOptions& options, const FieldName& name, const std::string& text) {
    options.givenFields[name.index] = true;
    const ConvertOptionField& field = fieldOf(name);
    if (const auto* member = std::get_if<ConvertOptionField::TextMember>(&field.member)) {
        options.given.** member = text;
        return {};
    }
    std::int32_t& value = options.given.*std::get<ConvertOptionField::IntMember>(field.member);
    switch (field.cli.form) {
    case CliForm::page:
        return takePage(options, value, text);
    case CliForm::endOfLine:
        return takeEndOfLine(value, text);
    case CliForm::encoding:
        return takeEncoding(value, text);
    case CliForm::ocrMode:
        return takeOcrMode(value, text);
    default:
        // A number field spelt as plain text is a mistake in the field table.
        assert(false);
        return Failure{"option '" + std::string(field.cli.names[0]) + "' cannot take '" + text + "'"};
    }
}

Status takeOwnerPassword(CliOptions& options, const std::string&, const std::string& value) {
    options.ownerPassword = value;
    return {};
}

Status takeUserPassword(CliOptions& options, const std::string&, const std::string& value) {
    options.userPassword = value;
    return {};
}

Status takeReportPath(CliOptions& options, const std::string&, const std::string& value) {
    options.reportPath = value;
    return {};
}

Status takeOwnerPasswordFile(CliOptions& options, const std::string&, const std::string& value) {
    return readFirstLine(value, options.ownerPassword);
}

Status takeUserPasswordFile(CliOptions& options, const std::string&, const std::string& value) {
    return readFirstLine(value, options.userPassword);
}

// An option that takes a value: stores it, or fails with the reason.
struct ValueOption {
    const char* name;
    Status (*take)(CliOptions& options, const std::string& name, const std::string& value);
};

const ValueOption valueOptions[] = {
    {"-j", takeJobCount},
    {"--jobs", takeJobCount},
    {"--owner-password", takeOwnerPassword},
    {"--user-password", takeUserPassword},
    {"--owner-password-file", takeOwnerPasswordFile},
    {"--user-password-file", takeUserPasswordFile},
    {"--report", takeReportPath},
};

// An option without a value.
struct Flag {
    const char* name;
    void (*set)(CliOptions& options);
};

const Flag flags[] = {
    {"--summary", [](CliOptions& options) { options.action = CliOptions::Action::Summary; }},
    {"--no-settings", [](CliOptions& options) { options.useSettings = false; }},
    {"-q", [](CliOptions& options) { options.quiet = true; }},
    {"--quiet", [](CliOptions& options) { options.quiet = true; }},
    {"-0", [](CliOptions& options) { options.nullEnded = true; }},
    {"--null", [](CliOptions& options) { options.nullEnded = true; }},
    {"--update", [](CliOptions& options) { options.update = true; }},
    {"-h", [](CliOptions& options) { options.action = CliOptions::Action::Help; }},
    {"--help", [](CliOptions& options) { options.action = CliOptions::Action::Help; }},
    {"--version", [](CliOptions& options) { options.action = CliOptions::Action::Version; }},
};

template <typename Entry, std::size_t count>
const Entry* find(const Entry (&table)[count], const std::string& name) {
    const auto found = std::find_if(std::begin(table), std::end(table),
                                    [&](const Entry& entry) { return name == entry.name; });
    return found == std::end(table) ? nullptr : found;
}

} // namespace

void CliOptions::applyTo(ConvertOptions& options) const {
    const auto fields = convertOptionFields();
    bool rangeGiven = false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!givenFields[i])
            continue;
        if (fields[i].cli.form == CliForm::page)
            rangeGiven = true;
        else
            fields[i].copy(given, options);
    }
    // A range given here is the command line's own, as with pdftotext: a missing end is the
    // document's first or last page, never a saved or default Begin or End Page.
    if (rangeGiven) {
        options.startPage = givenFields[fieldIndex(&ConvertOptions::startPage)] ? given.startPage : 1;
        options.endPage = givenFields[fieldIndex(&ConvertOptions::endPage)]
                              ? given.endPage
                              : std::numeric_limits<std::int32_t>::max();
    }
}

platform::Result<CliOptions> CliOptions::parse(const std::vector<std::string>& arguments) {
    CliOptions options;
    bool pathsOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (pathsOnly || !argument.starts_with('-') || argument == "-") {
            options.paths.push_back(argument);
            continue;
        }
        if (argument == "--") {
            pathsOnly = true;
            continue;
        }
        std::string name = argument;
        std::optional<std::string> value;
        const std::size_t equals = argument.find('=');
        if (argument.starts_with("--") && equals != std::string::npos) {
            name.resize(equals);
            value = argument.substr(equals + 1);
        }
        const std::optional<FieldName> field = findFieldName(name);
        const Flag* flag = field ? nullptr : find(flags, name);
        if (flag || (field && fieldOf(*field).cli.form == CliForm::flags)) {
            if (value)
                return Failure{"option '" + name + "' takes no value"};
            if (flag)
                flag->set(options);
            else
                setFlagField(options, *field);
            continue;
        }
        const ValueOption* withValue = field ? nullptr : find(valueOptions, name);
        if (!field && !withValue)
            return Failure{"unknown option '" + name + "'"};
        if (!value && i + 1 < arguments.size())
            value = arguments[++i];
        if (!value)
            return Failure{"option '" + name + "' needs a value"};
        if (Status taken =
                field ? takeFieldValue(options, *field, *value) : withValue->take(options, name, *value);
            !taken.ok())
            return Failure{taken.error()};
    }
    if (options.paths.empty() && options.action != Action::Help && options.action != Action::Version)
        return Failure{"no PDF file or folder given"};
    return options;
}

namespace {

constexpr std::size_t helpColumns = 79;
const std::string helpIndent(30, ' ');

// The encoding names in lines of the help's second column.
std::string encodingLines() {
    std::string lines;
    std::string line = helpIndent;
    for (const TextEncoding& encoding : CMapConfig::encodings()) {
        const std::string name = encoding.engineName;
        if (line.size() > helpIndent.size() && line.size() + 1 + name.size() > helpColumns) {
            lines += line + "\n";
            line = helpIndent;
        }
        line += (line.size() > helpIndent.size() ? " " : "") + name;
    }
    return lines + line + "\n";
}

} // namespace

std::string CliOptions::helpText() {
    return "Usage: folverin-cli [OPTIONS] PATH...\n"
           "Converts PDF files to text, simple HTML or Markdown files. A PATH is a PDF\n"
           "file or a folder, searched with its subfolders for files ending in .pdf.\n"
           "Options start from your saved settings (which are never changed) and are\n"
           "overridden by:\n"
           "  -o, --output-dir DIR        write the output there (created if missing);\n"
           "                              by default next to each PDF\n"
           "  --text | --html | --markdown   plain text (.txt), simple HTML (.htm) or\n"
           "                              Markdown (.md) output\n"
           "  --meta | --no-meta          HTML meta lines or Markdown front matter from\n"
           "                              the document information\n"
           "  --layout | --no-layout      keep the physical layout\n"
           "  --raw | --no-raw            keep the content-stream order\n"
           "  --eol dos|unix|mac          line ends\n"
           "  --page-breaks | --no-page-breaks   form feed between pages\n"
           "  --encoding NAME             output encoding, one of:\n" +
           encodingLines() +
           "  --first N, --last N         convert only these pages; --first N alone goes\n"
           "                              to the last page, --last N alone starts at page 1\n"
           "  --all-pages                 convert all pages\n"
           "  --ocr no|auto|all           read scanned pages with text recognition: never,\n"
           "                              pages without usable text (auto), or every page\n"
           "  --ocr-lang LANGS            their languages, as Tesseract names them: eng,\n"
           "                              or eng+deu for English and German\n"
           "  --owner-password PW, --user-password PW\n"
           "  --owner-password-file F, --user-password-file F\n"
           "                              the password is the first line of F\n"
           "  --summary                   print a summary of each file, do not convert\n"
           "  --no-settings               start from the default options\n"
           "  -q, --quiet                 no progress text and no list of written files\n"
           "  -0, --null                  end each written path with NUL, not a line end,\n"
           "                              unless standard output is a terminal\n"
           "  --report FILE               write a line of JSON for each file to FILE as its\n"
           "                              turn ends: path, output, result, messages, pages,\n"
           "                              seconds\n"
           "  --update                    convert only files whose output is missing or\n"
           "                              older than the PDF\n"
           "  -j, --jobs N                convert with N worker processes (default: one per\n"
           "                              core); with 1 the worker is a fork of this one\n"
           "  -h, --help                  print this help\n"
           "  --version                   print the version\n"
           "  --                          every further argument is a PATH\n"
           "An option that takes a value also takes it as --option=value.\n"
           "Exit status: 0 all converted, 1 some files skipped, 2 batch ended early or\n"
           "usage error; 130 (Ctrl+C), 143 (SIGTERM), 129 (SIGHUP) or 141 (SIGPIPE)\n"
           "stopped, the file in progress keeping its old output.\n";
}
