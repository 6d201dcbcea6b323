#pragma once

#include <string>
#include <vector>

// Finds the PDF files (a name with a dot whose last extension is .pdf in any case, ".pdf"
// alone included) of a folder tree.
class PdfFinder {
public:
    // The entries of each folder in name order, without regard to case; a subfolder is searched
    // at once where it comes, before the entries after it. That order also decides which of two
    // PDFs of one title is met first. Every folder is visited once (by device and inode), so
    // links that loop back cannot make it run forever.
    static std::vector<std::string> find(const std::string& folder);
};
