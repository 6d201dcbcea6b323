#include "pool/SummaryClient.h"

#include "pool/WorkerMessages.h"

class SummaryClient::Answer : public WorkerPool::Listener {
public:
    explicit Answer(SummaryRequest request) : request(std::move(request)) {}

    std::optional<Request> requestFor(const TaskId&) override { return Request{request.record()}; }
    void answer(const TaskId&, wire::Reader& reply) override {
        if (reply.kind() == reply::summary)
            report = reply::summaryFrom(reply);
    }
    void lost(const TaskId&, const std::string& why) override { reason = why; }
    bool done() const { return report || !reason.empty(); }

    SummaryRequest request;
    std::optional<SummaryReport> report;
    std::string reason;
};

SummaryClient::SummaryClient(WorkerPool::Settings settings)
    : pool((settings.workers = 1, std::move(settings))) {}

SummaryClient::~SummaryClient() = default;

std::optional<SummaryReport> SummaryClient::build(const std::string& pdfPath, std::string& failure,
                                                  const std::function<bool()>& abandoned) {
    return build(SummaryRequest{pdfPath, {}, {}}, failure, abandoned);
}

std::optional<SummaryReport> SummaryClient::build(const SummaryRequest& request, std::string& failure,
                                                  const std::function<bool()>& abandoned) {
    Answer answer(request);
    pool.submit({++requests, 0});
    while (!answer.done()) {
        if (abandoned && abandoned()) {
            pool.cancel([](const TaskId&) { return true; });
            return std::nullopt;
        }
        pool.pump(answer, std::chrono::milliseconds{50});
    }
    if (answer.report) {
        failure.clear();
        return *answer.report;
    }
    failure = WorkerPool::stoppedOn(request.pdfPath, answer.reason) + ".";
    return SummaryReport::fileFacts(request.pdfPath);
}
