#pragma once

#include <string>

// A message a job tells its front end: the text and the file it is about (its subject).
struct JobMessage {
    std::string text;
    std::string subject;

    bool operator==(const JobMessage&) const = default;
};

// What a job tells its front end while it runs: the pages done and its messages. A job only
// ever tells; it never asks, so a front end may print what it is told as well as show it.
class JobFeedback {
public:
    virtual ~JobFeedback() = default;
    // Pages of the job in progress: done of the range's count, after each page, and with
    // none done where the count is known before the first page ends.
    virtual void pageProgress(int pagesDone, int pageCount) = 0;
    virtual void message(const JobMessage& message) = 0;
};
