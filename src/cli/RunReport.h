#pragma once

#include "core/JobConverter.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// The report of a run for scripts: one line of JSON for each file, in batch order, written and
// flushed as the file's turn ends, so a run killed at any moment leaves a valid report of what
// it finished.
class RunReport {
public:
    // Creates (or empties) the report file; nothing, with errno set, when it cannot.
    static std::unique_ptr<RunReport> create(const std::string& path);
    ~RunReport();
    RunReport(const RunReport&) = delete;
    RunReport& operator=(const RunReport&) = delete;

    void jobStarted(const std::string& pdfPath, const std::string& outputPath);
    void pageCount(int pages) { job.pages = pages; }
    void message(const std::string& text) { job.messages.push_back(text); }
    void pageRead(const PageRead& read) { job.pagesRead.push_back(read); }
    void jobEnded(JobOutcome outcome);

    // Text as a JSON string: quotes and backslashes escaped, control characters as \u escapes,
    // and bytes that are not UTF-8 as U+FFFD, so every line parses.
    static std::string jsonString(const std::string& text);

private:
    explicit RunReport(std::FILE* file) : file(file) {}
    // The pages read as a JSON list: each page, why, and its turn and skew where corrected.
    std::string pagesReadList() const;

    struct Job {
        std::string pdfPath;
        std::string outputPath;
        std::vector<std::string> messages;
        std::vector<PageRead> pagesRead;
        int pages = 0;
        std::chrono::steady_clock::time_point started;
    };

    std::FILE* file;
    Job job;
};
