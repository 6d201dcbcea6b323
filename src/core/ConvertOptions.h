#pragma once

#include <cstdint>
#include <string>

// Every option of a conversion. List options hold the index of the chosen entry in the list
// the option pane shows; out-of-range values are kept as they are and resolved where used.
struct ConvertOptions {
    std::int32_t pageRange = 0;  // 0 "All Pages", 1 "Selected Pages"
    std::int32_t startPage = 0;  // values below 1 count as 1
    std::int32_t endPage = 0;    // capped at the document's page count
    std::int32_t openResult = 0; // 0 "Yes", 1 "No"
    std::int32_t outputMode = 0; // 0 "Text File", 1 "Simple HTML File", 2 "Markdown File"
    std::string outputDirectory; // empty: next to each PDF; never stored
    std::int32_t htmlMeta = 0;   // 0 "Yes", 1 "No"
    std::int32_t layout = 0;     // 0 "Yes": keep the physical layout
    std::int32_t rawMode = 0;    // 0 "Yes": content-stream order
    std::int32_t endOfLine = 0;  // 0 "DOS(Windows)", 1 "Unix", 2 "Mac"
    std::int32_t pageBreaks = 0; // 0 "Yes": form feed between pages
    std::int32_t textEncoding = 0;
    std::int32_t recognizeScannedPages = 1; // 0 "No", 1 "Pages Without Text", 2 "All Pages"
    // The recognizer's languages, "eng+deu" for two. Empty within a batch: no data for the
    // chosen ones is installed (the user was told once), so no page is recognised.
    std::string ocrLanguages = "eng";

    // The values of a first start (and of a file without any key).
    static ConvertOptions defaults();

    // Reset All Options: everything but the encoding and the output folder to its default.
    void resetToDefaults();

    bool operator==(const ConvertOptions&) const = default;
};

// Named list indexes, for readable comparisons at the places that use the options.
namespace option {
inline constexpr std::int32_t yes = 0;
inline constexpr std::int32_t allPages = 0;
inline constexpr std::int32_t selectedPages = 1;
inline constexpr std::int32_t textFile = 0;
inline constexpr std::int32_t htmlFile = 1;
inline constexpr std::int32_t markdownFile = 2;
inline constexpr std::int32_t eolDos = 0;
inline constexpr std::int32_t eolUnix = 1;
inline constexpr std::int32_t eolMac = 2;
inline constexpr std::int32_t recognizeNo = 0;
inline constexpr std::int32_t recognizePagesWithoutText = 1;
inline constexpr std::int32_t recognizeAllPages = 2;

// What a job tells the user when it has pages to read, without text or with unusable text,
// and recognition is off.
std::string pagesWithoutTextMessage(const std::string& pdfPath, int pages, int unusablePages = 0);
} // namespace option
