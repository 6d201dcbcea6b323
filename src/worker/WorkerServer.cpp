#include "worker/WorkerServer.h"

#include "engine/EngineDataFolder.h"
#include "engine/JobDocument.h"
#include "platform/AtomicFile.h"
#include "pool/WorkerMessages.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/resource.h>
#include <thread>

namespace {

void send(const std::string& record) {
    // The program is gone when this fails: nothing is left to answer to.
    if (!wire::writeAll(wire::workerChannelFd, record))
        std::_Exit(EXIT_FAILURE);
}

// Progress and messages go back to the program, which shows them when the job's turn comes.
class ReplyFeedback : public JobFeedback {
public:
    void pageProgress(int pagesDone, int pageCount) override {
        send(wire::Writer(reply::progress).put(pagesDone).put(pageCount).record());
    }
    void message(const JobMessage& message) override {
        send(wire::Writer(reply::message).put(message.text).put(message.subject).record());
    }
    void pageRead(const PageRead& read) override { send(reply::pageReadRecord(read)); }
};

ReplyFeedback replies;

// A first request writes the whole range when the program would not cut it; otherwise it
// tells the program the facts to cut by and writes nothing (no order).
std::optional<PageOrder> firstOrder(JobDocument& document, int cutFrom) {
    const PagePiece whole{document.firstPage(), document.lastPage(), true, true};
    if (cutFrom <= 0)
        return PageOrder{whole, std::nullopt};
    const std::optional<std::vector<int>> readPages = document.pagesToRead(whole.first, whole.last);
    if (whole.last - whole.first + 1 < cutFrom && (!readPages || readPages->empty()))
        return PageOrder{whole, readPages};
    wire::Writer facts(reply::facts);
    facts.put(whole.first).put(whole.last);
    wire::putStamp(facts, document.stamp());
    wire::putOptionalPages(facts, readPages);
    send(facts.record());
    return std::nullopt;
}

#if defined(__SANITIZE_ADDRESS__)
#define FOLVERIN_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FOLVERIN_ADDRESS_SANITIZER 1
#endif
#endif

bool limitAddressSpace(rlim_t bytes) {
#ifdef FOLVERIN_ADDRESS_SANITIZER
    // AddressSanitizer has reserved terabytes of shadow memory before main, and its heap grows
    // inside a reservation too: an address-space limit would refuse the first allocation and
    // could not stop a runaway one. Its own limit (hard_rss_limit_mb) takes this one's place.
    (void)bytes;
    return true;
#else
    const rlimit limit{bytes, bytes};
    return ::setrlimit(RLIMIT_AS, &limit) == 0;
#endif
}

} // namespace

int WorkerServer::main(int argc, char* argv[]) {
    if (!applyLimits(argc, argv))
        return EXIT_FAILURE;
    watchTheProgram();
    return serve() ? EXIT_SUCCESS : EXIT_FAILURE;
}

// A worker outliving its program would convert for nobody, and one stuck in a document would
// spin for ever: when the program's end of the socket closes, the worker ends, busy or not.
void WorkerServer::watchTheProgram() {
    std::thread([] {
        pollfd channel{wire::workerChannelFd, POLLRDHUP, 0};
        while (::poll(&channel, 1, -1) < 0 && errno == EINTR) {
        }
        EngineDataFolder::removeTemporaryFolders();
        std::_Exit(EXIT_FAILURE);
    }).detach();
}

bool WorkerServer::applyLimits(int argc, char* argv[]) {
    // A document that brings a worker down is expected; it must not leave a core file behind.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    if ((argc - 1) % 2 != 0)
        return false;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--memory-limit") != 0)
            return false;
        const rlim_t bytes = std::strtoull(argv[i + 1], nullptr, 10);
        if (bytes == 0 || !limitAddressSpace(bytes))
            return false;
    }
    return true;
}

bool WorkerServer::serve() {
    while (const auto record = wire::readRecord(wire::workerChannelFd, handedFiles)) {
        wire::Reader reader(*record);
        if (reader.kind() == request::convert) {
            const ConvertRequest request = ConvertRequest::from(reader);
            if (reader.broken() || handedFiles.empty())
                return false;
            platform::UniqueFd output = std::move(handedFiles.front());
            handedFiles.pop_front();
            beforeWork(request.job.pdfPath, request.pieceIndex);
            convert(request, std::move(output));
        } else if (reader.kind() == request::summary) {
            const SummaryRequest request = SummaryRequest::from(reader);
            if (reader.broken())
                return false;
            beforeWork(request.pdfPath, 0);
            summarize(request);
        } else {
            return false;
        }
    }
    return true;
}

// The document of the job whose pieces this worker converts, kept for the job's next piece
// so it is not opened and walked to its pages again.
struct WorkerServer::OpenDocument {
    OpenDocument(const ConvertRequest& request)
        : job(request.job), options(request.options), document(request.job, request.options, replies) {}

    bool serves(const ConvertRequest& request) const {
        return request.job.opensTheSameAs(job) && request.options == options &&
               document.stamp() == request.documentStamp;
    }

    ConvertJob job;
    ConvertOptions options;
    JobDocument document;
};

WorkerServer::WorkerServer() = default;
WorkerServer::~WorkerServer() = default;

JobDocument* WorkerServer::documentFor(const ConvertRequest& request) {
    if (request.order && open && open->serves(request))
        return &open->document;
    open.reset();
    auto fresh = std::make_unique<OpenDocument>(request);
    // Pages read from another file than the one the facts came from would join two documents
    // in one output.
    if (request.order && fresh->document.stamp() != request.documentStamp) {
        JobDocument::reportChanged(request.job.pdfPath, replies);
        finish(static_cast<int>(JobOutcome::Skipped));
        return nullptr;
    }
    const JobOutcome checked = fresh->document.check();
    if (checked != JobOutcome::Converted) {
        finish(static_cast<int>(checked));
        return nullptr;
    }
    open = std::move(fresh);
    return &open->document;
}

void WorkerServer::convert(const ConvertRequest& request, platform::UniqueFd outputFile) {
    JobDocument* const document = documentFor(request);
    if (!document)
        return;
    std::optional<PageOrder> order = request.order;
    if (!order) {
        order = firstOrder(*document, request.cutFrom);
        if (!order)
            return finish(static_cast<int>(JobOutcome::Converted));
    } else if (order->pages.first < document->firstPage() || order->pages.last > document->lastPage() ||
               order->pages.first > order->pages.last) {
        JobDocument::reportChanged(request.job.pdfPath, replies);
        return finish(static_cast<int>(JobOutcome::Skipped));
    }
    platform::AtomicFile output(request.outputPath);
    const platform::Status adopted = output.adopt(std::move(outputFile));
    const JobOutcome outcome = document->write(*order, {request.configPath, request.programDir}, output,
                                               adopted, request.outputPath);
    const ScanProbe::Counts unread = document->unreadPages();
    if (unread.withoutText > 0 || unread.unusableText > 0)
        send(wire::Writer(reply::unreadScans).put(unread.withoutText).put(unread.unusableText).record());
    // No later piece of this job comes after the one with the foot: the document goes.
    if (order->pages.foot)
        open.reset();
    finish(static_cast<int>(outcome));
}

void WorkerServer::summarize(const SummaryRequest& request) {
    send(reply::summaryRecord(
        SummaryReport::build(request.pdfPath, request.ownerPassword, request.userPassword)));
}

void WorkerServer::finish(int outcome) {
    send(wire::Writer(reply::finished).put(outcome).record());
}
