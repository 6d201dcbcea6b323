#include "worker/WorkerServer.h"

#include "convert/JobDocument.h"
#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "worker/PiecePlan.h"
#include "worker/WorkerMessages.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/resource.h>
#include <thread>

namespace {

void send(const std::string& record) {
    // The program is gone when this fails: nothing is left to answer to.
    if (!wire::writeAll(WorkerServer::channelFd, record))
        std::_Exit(EXIT_FAILURE);
}

// Messages go back to the program, which shows them when the job's turn comes. A job only
// ever tells; it never asks.
class ReplyDialogs : public platform::Dialogs {
public:
    platform::DialogResult messageBox(const platform::MessageRequest& request) override {
        send(wire::Writer(reply::message)
                 .put(request.text)
                 .put(static_cast<std::int32_t>(request.buttons))
                 .put(request.subject)
                 .record());
        return platform::DialogResult::Ok;
    }
    std::vector<std::string> openFiles(const platform::OpenFilesRequest&) override { return {}; }
    std::string selectFolder(const platform::FolderRequest&) override { return {}; }
    std::string saveFile(const platform::SaveFileRequest&) override { return {}; }
};

} // namespace

int WorkerServer::main(int argc, char* argv[]) {
    if (!applyLimits(argc, argv))
        return EXIT_FAILURE;
    watchTheProgram();
    ReplyDialogs dialogs;
    platform::Dialogs::setInstance(&dialogs);
    return serve() ? EXIT_SUCCESS : EXIT_FAILURE;
}

// A worker outliving its program would convert for nobody, and one stuck in a document would
// spin for ever: when the program's end of the socket closes, the worker ends, busy or not.
void WorkerServer::watchTheProgram() {
    std::thread([] {
        pollfd channel{channelFd, POLLRDHUP, 0};
        while (::poll(&channel, 1, -1) < 0 && errno == EINTR) {
        }
        std::_Exit(EXIT_FAILURE);
    }).detach();
}

bool WorkerServer::applyLimits(int argc, char* argv[]) {
    // A document that brings a worker down is expected; it must not leave a core file behind.
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--memory-limit") != 0)
            return false;
        const rlim_t bytes = std::strtoull(argv[i + 1], nullptr, 10);
        const rlimit limit{bytes, bytes};
        if (bytes == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0)
            return false;
    }
    return true;
}

bool WorkerServer::serve() {
    while (const auto record = wire::readRecord(channelFd)) {
        wire::Reader reader(*record);
        if (reader.kind() == request::convert) {
            const ConvertRequest request = ConvertRequest::from(reader);
            if (reader.broken())
                return false;
            beforeWork(request.job.pdfPath, request.pieceIndex);
            convert(request);
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

void WorkerServer::convert(const ConvertRequest& request) {
    JobDocument document(request.job, request.options);
    const JobOutcome checked = document.check();
    if (checked != JobOutcome::Converted)
        return finish(static_cast<int>(checked));
    const auto pieces = PiecePlan::cut(document.firstPage(), document.lastPage(), request.workers);
    // The document changed since piece 0 cut it: this piece no longer exists.
    if (request.pieceIndex < 0 || request.pieceIndex >= static_cast<int>(pieces.size()))
        return finish(static_cast<int>(JobOutcome::Skipped));
    if (request.pieceIndex == 0 && pieces.size() > 1)
        send(wire::Writer(reply::planned)
                 .put(static_cast<std::int32_t>(pieces.size()))
                 .put(document.firstPage())
                 .put(document.lastPage())
                 .record());
    const std::string configText =
        JobDocument::configurationFor(request.configPath, request.programDir, request.job.pdfPath);
    platform::AtomicFile output(request.piecePath);
    const auto progress = [](int done, int count) {
        send(wire::Writer(reply::progress).put(done).put(count).record());
    };
    if (!output.rewrite() ||
        !document.write(pieces[static_cast<std::size_t>(request.pieceIndex)], configText, output, progress)) {
        JobDocument::reportWriteFailure(request.outputPath, output.errorString(), request.job.pdfPath);
        return finish(static_cast<int>(JobOutcome::Skipped));
    }
    finish(static_cast<int>(JobOutcome::Converted));
}

void WorkerServer::summarize(const SummaryRequest& request) {
    send(reply::summaryRecord(SummaryReport::build(request.pdfPath)));
}

void WorkerServer::finish(int outcome) {
    send(wire::Writer(reply::finished).put(outcome).record());
}
