#include "cli/InterruptStop.h"

#include "core/BatchRunner.h"

#include <array>
#include <atomic>
#include <csignal>
#include <unistd.h>

namespace {

// A closed terminal (SIGHUP) and a reader that went away (SIGPIPE, as in "| head -1") end a
// run as Ctrl+C and SIGTERM do: at once, with no temporary left behind.
constexpr std::array<int, 4> stoppingSignals{SIGINT, SIGTERM, SIGHUP, SIGPIPE};

std::atomic<BatchRunner*> stoppedRunner{nullptr};
volatile std::sig_atomic_t caught = 0;
std::array<struct sigaction, stoppingSignals.size()> previous{};

// Only async-signal-safe calls: an atomic store, write and sigaction.
void stopTheBatch(int signalNumber) {
    if (caught == 0)
        caught = signalNumber;
    if (BatchRunner* runner = stoppedRunner.load())
        runner->requestStop();
    struct sigaction next {};
    // Every later write to the gone reader would raise SIGPIPE again: those writes just fail.
    next.sa_handler = signalNumber == SIGPIPE ? SIG_IGN : SIG_DFL;
    ::sigaction(signalNumber, &next, nullptr);
    if (signalNumber == SIGPIPE)
        return;
    static const char notice[] =
        "folverin-cli: stopping, the file in progress keeps its old output (again to quit at once)\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, notice, sizeof notice - 1);
}

} // namespace

InterruptStop::InterruptStop(BatchRunner& runner) {
    caught = 0;
    stoppedRunner = &runner;
    struct sigaction handler {};
    handler.sa_handler = stopTheBatch;
    sigemptyset(&handler.sa_mask);
    for (std::size_t i = 0; i < stoppingSignals.size(); ++i)
        ::sigaction(stoppingSignals[i], &handler, &previous[i]);
}

InterruptStop::~InterruptStop() {
    for (std::size_t i = 0; i < stoppingSignals.size(); ++i)
        ::sigaction(stoppingSignals[i], &previous[i], nullptr);
    stoppedRunner = nullptr;
}

int InterruptStop::signalCaught() const {
    return caught;
}
