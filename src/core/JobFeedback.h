#pragma once

#include <string>

// A message a job tells its front end: the text and the file it is about (its subject).
struct JobMessage {
    std::string text;
    std::string subject;

    bool operator==(const JobMessage&) const = default;
};

// A page the recognizer read: why, and how its picture was set upright before reading.
struct PageRead {
    enum class Reason { NoText, UnusableText, AllPages };
    int page = 0;
    Reason reason = Reason::NoText;
    int turnDegrees = 0;    // how far clockwise the page lay turned: 0, 90, 180 or 270
    double skewDegrees = 0; // the slant taken out of it; 0 when it lay straight

    bool operator==(const PageRead&) const = default;
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
    // Told when the job's turn comes, in page order; only a report for scripts wants it.
    virtual void pageRead(const PageRead& /*read*/) {}
};
