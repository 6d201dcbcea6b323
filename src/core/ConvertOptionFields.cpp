#include "core/ConvertOptionFields.h"

#include <algorithm>

namespace {

constexpr const char* general = "Output General";
constexpr const char* output = "Output Options";

using O = ConvertOptions;
using F = CliForm;

const ConvertOptionField fields[] = {
    {&O::pageRange, general, "Page Range", optionpane::ID_PAGE_RANGE, {F::flags, {"--all-pages"}}},
    {&O::startPage, general, "Start Page", optionpane::ID_BEGIN_PAGE, {F::page, {"--first"}}},
    {&O::endPage, general, "End Page", optionpane::ID_END_PAGE, {F::page, {"--last"}}},
    {&O::openResult, general, "Open Result", optionpane::ID_OPEN_RESULTS, {}},
    {&O::outputDirectory,
     nullptr,
     nullptr,
     optionpane::ID_OUTPUT_DIRECTORY,
     {F::text, {"-o", "--output-dir"}}},
    {&O::outputMode,
     output,
     "Output Mode",
     optionpane::ID_OUTPUT_MODE,
     {F::flags, {"--text", "--html", "--markdown"}}},
    {&O::layout, output, "Layout", optionpane::ID_TEXT_LAYOUT, {F::flags, {"--layout", "--no-layout"}}},
    {&O::rawMode, output, "Raw Mode", optionpane::ID_RAW_MODE, {F::flags, {"--raw", "--no-raw"}}},
    {&O::endOfLine, output, "End-of-Line", optionpane::ID_END_OF_LINE, {F::endOfLine, {"--eol"}}},
    {&O::pageBreaks,
     output,
     "Page Breaks",
     optionpane::ID_PAGE_BREAKS,
     {F::flags, {"--page-breaks", "--no-page-breaks"}}},
    {&O::htmlMeta, output, "Html Meta", optionpane::ID_HTML_META, {F::flags, {"--meta", "--no-meta"}}},
    {&O::textEncoding, output, "TextEncoding", optionpane::ID_TEXT_ENCODING, {F::encoding, {"--encoding"}}},
    {&O::recognizeScannedPages,
     output,
     "Recognize Scanned Pages",
     optionpane::ID_RECOGNIZE_SCANNED_PAGES,
     {F::ocrMode, {"--ocr"}}},
    {&O::ocrLanguages, output, "OCR Languages", optionpane::ID_OCR_LANGUAGES, {F::text, {"--ocr-lang"}}},
};

} // namespace

bool ConvertOptionField::is(IntMember field) const {
    const IntMember* own = std::get_if<IntMember>(&member);
    return own && *own == field;
}

void ConvertOptionField::copy(const ConvertOptions& from, ConvertOptions& to) const {
    std::visit([&](auto field) { to.*field = from.*field; }, member);
}

std::span<const ConvertOptionField> convertOptionFields() {
    return fields;
}

const ConvertOptionField* optionFieldOfPaneItem(int item) {
    const auto found =
        std::find_if(std::begin(fields), std::end(fields),
                     [item](const ConvertOptionField& field) { return field.paneItem == item; });
    return found == std::end(fields) ? nullptr : found;
}
