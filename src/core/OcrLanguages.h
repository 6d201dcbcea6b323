#pragma once

#include <string>
#include <vector>

// The languages the text recognizer can read scanned pages in, as its installed data files
// show them ("eng.traineddata" is English). A choice names one or more, joined by '+'
// ("eng+deu"), as the recognizer takes them.
namespace OcrLanguages {

inline constexpr const char* defaultChoice = "eng";
// The recognizer itself: a module beside the programs, loaded where a page is to be read.
inline constexpr const char* recognizerModule = "folverin-ocr.so";

// Whether the recognizer's module is in programDir (with a trailing '/').
bool recognizerInstalled(const std::string& programDir);

// The languages a choice stands for: an empty choice (a settings file's "OCR Languages=", an
// empty --ocr-lang) is the default, never whatever language happens to be installed first.
std::string chosen(const std::string& choice);
// The folder of the data files, with a trailing '/': $TESSDATA_PREFIX when it is set.
std::string dataFolder();
// The installed languages in name order; the script-detection data ("osd") is no language.
std::vector<std::string> installed();
// The names of the choice ("eng+deu": "eng", "deu"); an empty choice names the default.
std::vector<std::string> names(const std::string& choice);
// The names of the choice that cannot be read: not installed, or no plain name (a name is
// letters, digits, '_' and '-', so none can reach outside the data folder). Empty when every
// name is there; an empty choice is taken as the default.
std::vector<std::string> missing(const std::string& choice);
// What the user is told when the choice misses names: scanned pages stay as they are.
std::string missingMessage(const std::string& choice, const std::vector<std::string>& missingNames);

} // namespace OcrLanguages
