#pragma once

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// One running worker program, seen from the program: a socket to talk over, what it wrote to
// its standard error (kept, never shown raw) and the process to end. Killed and reaped when
// destroyed.
class WorkerProcess {
public:
    // A worker's whole life in this process: the worker program's main loop, loaded here.
    using Serve = int (*)(int argc, char* argv[]);

    // Starts program with arguments; check started().
    WorkerProcess(const std::string& program, const std::vector<std::string>& arguments);
    // Starts a fork of this process that runs serve with arguments, as the worker program would
    // run; check started().
    WorkerProcess(Serve serve, const std::vector<std::string>& arguments);
    ~WorkerProcess();
    WorkerProcess(const WorkerProcess&) = delete;
    WorkerProcess& operator=(const WorkerProcess&) = delete;

    bool started() const { return pid > 0; }
    int fd() const { return channel; }
    // A descriptor given (the file the worker is to write) travels with the record.
    bool send(const std::string& record, int descriptor = -1);
    // Reads what has arrived without waiting; false when the worker has gone (the stream
    // ended or turned to garbage).
    bool readAvailable();
    std::optional<std::string> nextRecord();
    // What the worker wrote to its standard error so far (its last 64 KiB).
    const std::string& errorOutput();

private:
    // Forks with the socket and the error pipe in the worker's places; the child runs inChild
    // with the worker's command line (name, then arguments) and never returns from it.
    void start(const std::string& name, const std::vector<std::string>& arguments,
               const std::function<void(char** argv)>& inChild);
    void end();

    pid_t pid = -1;
    int channel = -1;
    int errors = -1;
    std::string inbox;
    std::string errorText;
};
