#include "worker/WorkerServer.h"

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

// The worker program with faults on call, for the tests of what the program does when a
// document brings the engine down: a PDF whose name holds "crash" kills the worker ("crash-late"
// only in a later piece, after piece 0 wrote its part), "hang" stops it for good, "hog"
// makes it eat memory until its limit stops it and "throw" ends it as an allocation that
// fails in C++ code does. "rewritten-late" rewrites the PDF's time before a later piece, as a
// program replacing the file mid-conversion would.
class FaultyWorker : public WorkerServer {
protected:
    void beforeWork(const std::string& pdfPath, int pieceIndex) override {
        const std::string name = pdfPath.substr(pdfPath.rfind('/') + 1);
        const auto holds = [&](const char* word) { return name.find(word) != std::string::npos; };
        if (holds("crash-late") ? pieceIndex > 0 : holds("crash"))
            std::raise(SIGSEGV);
        if (holds("hang")) {
            for (;;)
                ::pause();
        }
        if (holds("hog"))
            eatMemory();
        if (holds("throw"))
            throw std::bad_alloc();
        if (holds("rewritten-late") && pieceIndex > 0) {
            const timespec longAgo[2] = {{1'000'000, 0}, {1'000'000, 0}};
            ::utimensat(AT_FDCWD, pdfPath.c_str(), longAgo, 0);
        }
    }

private:
    static void eatMemory() {
        constexpr std::size_t chunk = 16u << 20;
        for (std::size_t eaten = 0;; eaten += chunk) {
            void* block = eaten < sanitizedLimit ? std::malloc(chunk) : nullptr;
            if (!block)
                std::abort(); // as the engine does when an allocation fails
            std::memset(block, 1, chunk);
        }
    }

#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer build lifts the address-space limit, which the sanitizer cannot live
    // with; the allocation fails here where the tests' limit would have failed it.
    static constexpr std::size_t sanitizedLimit = 256u << 20;
#else
    static constexpr std::size_t sanitizedLimit = SIZE_MAX;
#endif
};

int main(int argc, char* argv[]) {
    FaultyWorker worker;
    return worker.main(argc, argv);
}
