#pragma once

#include <TextOutputDev.h>
#include <string>

struct ConvertOptions;
class JobFeedback;
class UnicodeMap;

// The engine's global parameters for one conversion job: built from the configuration file
// and the options when the job starts, torn down when it ends, so every job sees the file as
// it is now. Construct and destroy it while holding the engine lock.
class EngineSession {
public:
    // The configuration text for the job on pdfPath. It may tell the user something, so it is
    // read before the engine lock is taken.
    static std::string readConfiguration(const std::string& configPath, const std::string& programDir,
                                         const std::string& pdfPath, JobFeedback& feedback);

    EngineSession(const std::string& configText, const ConvertOptions& options);
    ~EngineSession();
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    // The map the page text goes through: the job's text encoding; null when neither the
    // configuration nor the engine has a table for it.
    const UnicodeMap* textMap() const;
    // What the user is told when textMap() is null: the PDF is not converted.
    static std::string missingTableMessage(const std::string& encodingName, const std::string& pdfPath);
    EndOfLineKind endOfLine() const { return eol; }
    bool pageBreaks() const { return breaks; }

private:
    std::string dataFolder; // the engine keeps a pointer to it
    EndOfLineKind eol = eolDOS;
    bool breaks = true;
};
