#pragma once

#include "platform/UniqueFd.h"

#include <deque>
#include <memory>
#include <string>

class JobDocument;
struct ConvertRequest;
struct SummaryRequest;

// The worker process's side: reads requests from the program, converts or builds summaries,
// and answers with messages, progress and results. One request at a time, in this process
// alone, so whatever a document does to the engine ends with this process.
class WorkerServer {
public:
    WorkerServer();
    virtual ~WorkerServer();
    WorkerServer(const WorkerServer&) = delete;
    WorkerServer& operator=(const WorkerServer&) = delete;

    // The whole life of a worker program: applies the limits its arguments give
    // ("--memory-limit BYTES"), then serves until the program closes the request stream.
    int main(int argc, char* argv[]);

protected:
    // Runs before each request on pdfPath is worked on (piece 0 for a summary).
    virtual void beforeWork(const std::string& /*pdfPath*/, int /*pieceIndex*/) {}

private:
    static bool applyLimits(int argc, char* argv[]);
    static void watchTheProgram();
    bool serve();
    // The job's document, checked; nothing (and the job finished) when the checks refuse it.
    JobDocument* documentFor(const ConvertRequest& request);
    void convert(const ConvertRequest& request, platform::UniqueFd output);
    void summarize(const SummaryRequest& request);
    void finish(int outcome);

    struct OpenDocument;
    std::unique_ptr<OpenDocument> open;
    // The files the program handed over with its requests, one for each convert request.
    std::deque<platform::UniqueFd> handedFiles;
};
