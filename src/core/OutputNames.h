#pragma once

#include "core/ConvertOptions.h"

#include <string>

// Where a PDF's text goes, and the words for when it cannot go there. Apart from the PDF
// engine, so the side of the program that only hands work to worker processes loads none.
namespace OutputNames {

// The file a PDF converts to with these options: in the output folder when one is set (gone or
// not: a folder the user chose is never swapped for another), else beside the PDF; the PDF's
// title with ".txt", ".htm" or ".md".
std::string pathFor(const std::string& pdfPath, const ConvertOptions& options);

// What the user is told when writing outputPath would replace the PDF itself (the same
// file, also through a link); empty when it would not.
std::string selfOverwriteMessage(const std::string& outputPath, const std::string& pdfPath);

// What the user is told when the output folder set is not there (any more); empty when it is
// there or none is set.
std::string missingFolderMessage(const ConvertOptions& options, const std::string& pdfPath);

// What the user is told when the way to outputPath leads through a folder that is another
// user's link, which is never followed; empty when it does not.
std::string foreignLinkMessage(const std::string& outputPath, const std::string& pdfPath);

// What the user is told when writing outputPath would replace otherPdf, another PDF of the
// batch that converts pdfPath.
std::string batchPdfOverwriteMessage(const std::string& outputPath, const std::string& otherPdf,
                                     const std::string& pdfPath);

// Every failure to write an output names the file and the reason in the same words.
std::string writeFailureMessage(const std::string& outputPath, const std::string& reason);

} // namespace OutputNames
