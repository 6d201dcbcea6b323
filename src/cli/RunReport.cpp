#include "cli/RunReport.h"

#include "platform/Utf8.h"

#include <cstdio>

std::unique_ptr<RunReport> RunReport::create(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "we");
    return file ? std::unique_ptr<RunReport>(new RunReport(file)) : nullptr;
}

RunReport::~RunReport() {
    std::fclose(file);
}

void RunReport::jobStarted(const std::string& pdfPath, const std::string& outputPath) {
    job = {pdfPath, outputPath, {}, {}, 0, std::chrono::steady_clock::now()};
}

void RunReport::jobEnded(JobOutcome outcome) {
    const char* result = outcome == JobOutcome::Converted ? "converted"
                         : outcome == JobOutcome::Stopped ? "stopped"
                                                          : "skipped";
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - job.started;
    std::string messages;
    for (const std::string& text : job.messages)
        messages += (messages.empty() ? "" : ",") + jsonString(text);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", took.count());
    const std::string line = "{\"path\":" + jsonString(job.pdfPath) +
                             ",\"output\":" + jsonString(job.outputPath) + ",\"result\":\"" + result +
                             "\",\"messages\":[" + messages + "],\"pages\":" + std::to_string(job.pages) +
                             ",\"seconds\":" + seconds + ",\"read\":" + pagesReadList() + "}\n";
    std::fputs(line.c_str(), file);
    std::fflush(file);
}

std::string RunReport::pagesReadList() const {
    std::string list;
    for (const PageRead& read : job.pagesRead) {
        const char* reason = read.reason == PageRead::Reason::NoText         ? "no text"
                             : read.reason == PageRead::Reason::UnusableText ? "unusable text"
                                                                             : "all pages";
        list += (list.empty() ? "{\"page\":" : ",{\"page\":") + std::to_string(read.page) + ",\"reason\":\"" +
                reason + '"';
        if (read.turnDegrees != 0)
            list += ",\"turn\":" + std::to_string(read.turnDegrees);
        if (read.skewDegrees != 0) {
            char skew[32];
            std::snprintf(skew, sizeof skew, "%.2f", read.skewDegrees);
            list += std::string(",\"skew\":") + skew;
        }
        list += '}';
    }
    return '[' + list + ']';
}

std::string RunReport::jsonString(const std::string& text) {
    std::string json = "\"";
    std::string_view rest = text;
    while (!rest.empty()) {
        char32_t codePoint = 0;
        const std::size_t length = platform::utf8SequenceAt(rest, codePoint);
        if (length == 0) {
            json += "\\ufffd";
            rest.remove_prefix(1);
            continue;
        }
        if (codePoint == '"' || codePoint == '\\') {
            json += '\\';
            json += static_cast<char>(codePoint);
        } else if (codePoint < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(codePoint));
            json += escaped;
        } else {
            json.append(rest.substr(0, length));
        }
        rest.remove_prefix(length);
    }
    return json + "\"";
}
