#pragma once

#include <string>
#include <vector>

// Finds the PDF files (extension .pdf in any case) of a folder tree.
class PdfFinder {
public:
    // Files of each folder by name, then its subfolders by name. Every folder is visited once
    // (by device and inode), so links that loop back cannot make it run forever.
    static std::vector<std::string> find(const std::string& folder);
};
