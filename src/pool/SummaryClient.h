#pragma once

#include "core/SummaryReport.h"
#include "pool/WorkerMessages.h"
#include "pool/WorkerPool.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// Builds summary reports in a worker process of its own, so a click on a hostile file can
// neither crash nor hang the program, and a summary never waits for a batch's workers.
class SummaryClient {
public:
    explicit SummaryClient(WorkerPool::Settings settings);
    ~SummaryClient();

    // The report on pdfPath. When the worker crashed or hung on it, the report is the one of
    // an unreadable file and failure says what happened; otherwise failure is empty. Nothing
    // when abandoned() turned true first: the worker is then ended, and the next call starts
    // a new one.
    std::optional<SummaryReport> build(const std::string& pdfPath, std::string& failure,
                                       const std::function<bool()>& abandoned = {});
    // The same, for the document opened with the request's passwords.
    std::optional<SummaryReport> build(const SummaryRequest& request, std::string& failure,
                                       const std::function<bool()>& abandoned = {});

private:
    class Answer;
    WorkerPool pool;
    int requests = 0;
};
