#include "pool/WorkerProcess.h"

#include "pool/WireFormat.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::size_t keptErrorBytes = 64 * 1024;
// A worker sees its socket close and ends at once, removing what it made; one that does not
// (it cannot, or no longer can) is killed after this.
constexpr std::chrono::milliseconds closeGrace{200};

// True when the process ended within the time; it is then not yet reaped.
bool endedWithin(pid_t pid, std::chrono::milliseconds time) {
    const auto deadline = std::chrono::steady_clock::now() + time;
    siginfo_t info{};
    while (std::chrono::steady_clock::now() < deadline) {
        info.si_pid = 0;
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds{2});
    }
    return false;
}

// In the child between fork and exec: puts fd at target for the program to keep. dup2 does
// nothing when fd is there already, so close-on-exec is then cleared by hand.
bool placeAt(int fd, int target) {
    if (fd == target)
        return ::fcntl(fd, F_SETFD, 0) == 0;
    return ::dup2(fd, target) == target;
}

// The worker's environment: this one, with the text recognizer's own threads off. Each worker
// reads one page at a time and the pool runs a worker per core, so threads of its own would
// only crowd the cores.
constexpr const char* threadLimit = "OMP_THREAD_LIMIT";

std::vector<std::string> workerEnvironment() {
    const std::string assignment = threadLimit + std::string("=");
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable) {
        if (!std::string_view(*variable).starts_with(assignment))
            variables.emplace_back(*variable);
    }
    variables.push_back(assignment + "1");
    return variables;
}

// A fork keeps the program's signal handlers, which would make a worker shrug off the signals
// meant to end it; a program started afresh has them at their defaults (what is ignored stays
// ignored, as across exec).
void restoreDefaultSignalHandlers() {
    for (int number = 1; number < NSIG; ++number) {
        struct sigaction current {};
        if (::sigaction(number, nullptr, &current) == 0 && current.sa_handler != SIG_DFL &&
            current.sa_handler != SIG_IGN)
            ::signal(number, SIG_DFL);
    }
}

} // namespace

WorkerProcess::WorkerProcess(const std::string& program, const std::vector<std::string>& arguments) {
    const std::vector<std::string> environment = workerEnvironment();
    std::vector<char*> envp;
    for (const std::string& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    start(program, arguments, [&](char** argv) {
        // Only async-signal-safe calls between fork and exec: the program may have threads.
        ::execve(program.c_str(), argv, envp.data());
        ::_exit(127);
    });
}

WorkerProcess::WorkerProcess(Serve serve, const std::vector<std::string>& arguments) {
    // What the program has not written yet must not be written twice, should the child flush.
    std::fflush(nullptr);
    start("folverin-worker", arguments, [serve](char** argv) {
        // The child is a worker from here on, as if started afresh: only the socket and the
        // error pipe of its own, and the signals that end it ending it.
        ::close_range(wire::workerChannelFd + 1, ~0U, 0);
        restoreDefaultSignalHandlers();
        ::setenv(threadLimit, "1", 1);
        int argc = 0;
        while (argv[argc])
            ++argc;
        // Leaves without the program's exit handlers or its unwritten buffers.
        ::_exit(serve(argc, argv));
    });
}

void WorkerProcess::start(const std::string& name, const std::vector<std::string>& arguments,
                          const std::function<void(char** argv)>& inChild) {
    int ends[2];
    int errorEnds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    if (::pipe2(errorEnds, O_CLOEXEC) != 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        return;
    }
    // A worker whose error output nobody reads for a while drops it rather than block.
    ::fcntl(errorEnds[1], F_SETFL, O_NONBLOCK);
    ::fcntl(errorEnds[0], F_SETFL, O_NONBLOCK);
    std::vector<std::string> words{name};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid = ::fork();
    if (pid == 0) {
        // A group of its own keeps the terminal's Ctrl+C for the program, which stops cleanly.
        ::setpgid(0, 0);
        if (!placeAt(errorEnds[1], STDERR_FILENO) || !placeAt(ends[1], wire::workerChannelFd))
            ::_exit(127);
        inChild(argv.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    ::close(errorEnds[1]);
    channel = ends[0];
    errors = errorEnds[0];
    if (pid < 0)
        end();
}

WorkerProcess::~WorkerProcess() {
    end();
}

bool WorkerProcess::send(const std::string& record, int descriptor) {
    // Requests are small and the worker reads them while it waits, so the socket takes them
    // whole; a worker that stopped reading is a dead one.
    return wire::writeAll(channel, record, descriptor);
}

const std::string& WorkerProcess::errorOutput() {
    char buffer[16 * 1024];
    ssize_t count = 0;
    while (errors >= 0 &&
           ((count = ::read(errors, buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR))) {
        if (count > 0)
            errorText.append(buffer, static_cast<std::size_t>(count));
    }
    if (errorText.size() > keptErrorBytes)
        errorText.erase(0, errorText.size() - keptErrorBytes);
    return errorText;
}

bool WorkerProcess::readAvailable() {
    errorOutput();
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::recv(channel, buffer, sizeof buffer, MSG_DONTWAIT);
        if (count > 0) {
            inbox.append(buffer, static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return !wire::damaged(inbox);
        return false;
    }
}

std::optional<std::string> WorkerProcess::nextRecord() {
    return wire::takeRecord(inbox);
}

void WorkerProcess::end() {
    if (channel >= 0)
        ::close(channel);
    if (errors >= 0)
        ::close(errors);
    if (pid > 0 && !endedWithin(pid, closeGrace))
        ::kill(pid, SIGKILL);
    if (pid > 0) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    channel = -1;
    errors = -1;
    pid = -1;
}
