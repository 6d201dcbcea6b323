// Runs a command and reports the peak of the summed resident memory of the command and all its
// descendants, which GNU time cannot: its %M is the largest single process. The tree is sampled
// every 2 ms, so a peak shorter than that can be missed. Exits with the command's status.
//
// Usage: treepeak [-o FILE] [--] COMMAND [ARGS...]
//   -o FILE   write the peak (kilobytes, one line) to FILE instead of standard error

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr long samplePeriodNs = 2'000'000;

struct Arguments {
    const char* outputPath = nullptr;
    std::vector<char*> command;
};

bool parseArguments(int argc, char* argv[], Arguments& arguments) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(argv[i], "-o") != 0 || i + 1 == argc)
            return false;
        arguments.outputPath = argv[++i];
    }
    arguments.command.assign(argv + i, argv + argc);
    arguments.command.push_back(nullptr);
    return arguments.command.size() > 1;
}

// VmRSS in kilobytes; 0 for a process that is gone or a zombie, which has no such line.
long residentKb(const std::string& pid) {
    std::ifstream status("/proc/" + pid + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

// A child is listed under the thread that started it, so every thread is asked.
std::vector<std::string> childrenOf(const std::string& pid) {
    std::vector<std::string> children;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + pid + "/task", error)) {
        std::ifstream list(task.path() / "children");
        for (std::string child; list >> child;)
            children.push_back(child);
    }
    return children;
}

// The descendants of pid, without pid itself; a process may exit while it is read, which
// simply drops it from this sample.
long descendantsResidentKb(const std::string& pid) {
    long total = 0;
    for (const std::string& child : childrenOf(pid))
        total += residentKb(child) + descendantsResidentKb(child);
    return total;
}

[[noreturn]] void runCommand(const std::vector<char*>& command) {
    ::execvp(command[0], command.data());
    const int error = errno;
    std::fprintf(stderr, "treepeak: %s: %s\n", command[0], std::strerror(error));
    ::_exit(error == ENOENT ? 127 : 126);
}

int exitStatusOf(int waitStatus) {
    if (WIFSIGNALED(waitStatus))
        return 128 + WTERMSIG(waitStatus);
    return WEXITSTATUS(waitStatus);
}

// Reaps whatever has ended (orphans adopted by this process too); true once the command has.
bool commandEnded(pid_t command, int& waitStatus) {
    bool ended = false;
    int status = 0;
    for (pid_t pid; (pid = ::waitpid(-1, &status, WNOHANG)) > 0;) {
        if (pid == command) {
            waitStatus = status;
            ended = true;
        }
    }
    return ended;
}

// Samples until the command ends; returns the largest sum seen.
long samplePeak(pid_t command, int& waitStatus) {
    const std::string self = std::to_string(::getpid());
    const timespec period{0, samplePeriodNs};
    long peak = 0;
    do {
        peak = std::max(peak, descendantsResidentKb(self));
        ::nanosleep(&period, nullptr);
    } while (!commandEnded(command, waitStatus));
    return peak;
}

void reportLeftovers() {
    const std::size_t left = childrenOf(std::to_string(::getpid())).size();
    if (left > 0)
        std::fprintf(stderr, "treepeak: %zu process(es) outlived the command and were not waited for\n",
                     left);
}

bool writePeak(const char* path, long peakKb) {
    std::FILE* out = path ? std::fopen(path, "w") : stderr;
    if (!out) {
        std::fprintf(stderr, "treepeak: %s: %s\n", path, std::strerror(errno));
        return false;
    }
    std::fprintf(out, "%ld\n", peakKb);
    return out == stderr || std::fclose(out) == 0;
}

} // namespace

int main(int argc, char* argv[]) {
    Arguments arguments;
    if (!parseArguments(argc, argv, arguments)) {
        std::fprintf(stderr, "usage: treepeak [-o FILE] [--] COMMAND [ARGS...]\n");
        return 2;
    }
    // Descendants whose parent ends first are adopted here instead of by init, so they still
    // count as part of the tree.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    const pid_t command = ::fork();
    if (command < 0) {
        std::perror("treepeak: fork");
        return 2;
    }
    if (command == 0)
        runCommand(arguments.command);
    int waitStatus = 0;
    const long peakKb = samplePeak(command, waitStatus);
    reportLeftovers();
    if (!writePeak(arguments.outputPath, peakKb))
        return 2;
    return exitStatusOf(waitStatus);
}
