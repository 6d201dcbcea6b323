#include "worker/WorkerProcess.h"

#include "worker/WireFormat.h"
#include "worker/WorkerServer.h"

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

WorkerProcess::WorkerProcess(const std::string& program, const std::vector<std::string>& arguments) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec: the program may have threads.
        // A group of its own keeps the terminal's Ctrl+C for the program, which stops cleanly.
        ::setpgid(0, 0);
        if (::dup2(ends[1], WorkerServer::channelFd) < 0)
            ::_exit(127);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    channel = ends[0];
    if (pid < 0) {
        ::close(channel);
        channel = -1;
        return;
    }
}

WorkerProcess::~WorkerProcess() {
    end();
}

bool WorkerProcess::send(const std::string& record) {
    // Requests are small and the worker reads them while it waits, so the socket takes them
    // whole; a worker that stopped reading is a dead one.
    return wire::writeAll(channel, record);
}

bool WorkerProcess::readAvailable() {
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
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    channel = -1;
    pid = -1;
}
