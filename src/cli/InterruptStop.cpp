#include "cli/InterruptStop.h"

#include "convert/BatchRunner.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace {

std::atomic<BatchRunner*> stoppedRunner{nullptr};
volatile std::sig_atomic_t caught = 0;
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

// Only async-signal-safe calls: an atomic store, write and sigaction.
void stopAfterThisFile(int signalNumber) {
    caught = signalNumber;
    if (BatchRunner* runner = stoppedRunner.load())
        runner->requestStop();
    static const char notice[] =
        "folverin-cli: stopping after the file in progress (again to quit at once)\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, notice, sizeof notice - 1);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    ::sigaction(signalNumber, &standard, nullptr);
}

} // namespace

InterruptStop::InterruptStop(BatchRunner& runner) {
    caught = 0;
    stoppedRunner = &runner;
    struct sigaction handler {};
    handler.sa_handler = stopAfterThisFile;
    sigemptyset(&handler.sa_mask);
    ::sigaction(SIGINT, &handler, &previousInterrupt);
    ::sigaction(SIGTERM, &handler, &previousTerminate);
}

InterruptStop::~InterruptStop() {
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
    stoppedRunner = nullptr;
}

int InterruptStop::signalCaught() const {
    return caught;
}
