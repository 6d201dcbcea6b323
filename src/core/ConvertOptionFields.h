#pragma once

#include "core/ConvertOptions.h"

#include <cstddef>
#include <span>
#include <variant>

// The option pane's rows in the order it shows them. The tree numbers its items as they are
// inserted, so each id is also the row's place; the categories are rows without a field.
namespace optionpane {
enum Item : int {
    ID_GENERAL_OPTIONS = 1,
    ID_PAGE_RANGE,
    ID_BEGIN_PAGE,
    ID_END_PAGE,
    ID_OPEN_RESULTS,
    ID_OUTPUT_OPTIONS,
    ID_OUTPUT_DIRECTORY,
    ID_OUTPUT_MODE,
    ID_HTML_META,
    ID_TEXT_LAYOUT,
    ID_RAW_MODE,
    ID_END_OF_LINE,
    ID_PAGE_BREAKS,
    ID_TEXT_ENCODING,
    ID_RECOGNIZE_SCANNED_PAGES,
    ID_OCR_LANGUAGES,
};
inline constexpr int ITEM_COUNT = ID_OCR_LANGUAGES;
} // namespace optionpane

// How folverin-cli spells a field. Flags: each name sets the field to its own index (the
// first name 0, the second 1, the third 2). The other forms take one value, under any name.
enum class CliForm {
    none,
    flags,
    text,      // the value as it is
    page,      // a page number; selects the page range
    endOfLine, // dos, unix or mac
    encoding,  // an engine encoding name
    ocrMode,   // no, auto or all
};

struct CliSpelling {
    CliForm form = CliForm::none;
    const char* names[3] = {nullptr, nullptr, nullptr};
};

// One field of the options: the member it is, where the settings file keeps it (in the order
// of writing; no section: never stored), its option pane row and its command-line spelling.
// The wire format sends the fields in this order.
struct ConvertOptionField {
    using IntMember = std::int32_t ConvertOptions::*;
    using TextMember = std::string ConvertOptions::*;

    std::variant<IntMember, TextMember> member;
    const char* section;
    const char* key;
    int paneItem;
    CliSpelling cli;

    bool stored() const { return section != nullptr; }
    bool is(IntMember field) const;
    // Sets this field of to from the same field of from.
    void copy(const ConvertOptions& from, ConvertOptions& to) const;
};

std::span<const ConvertOptionField> convertOptionFields();

// The field an option pane row shows, or nullptr for a category or an unknown row.
const ConvertOptionField* optionFieldOfPaneItem(int item);
