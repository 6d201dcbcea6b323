#include "worker/WorkerServer.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

// The worker program with faults on call, for the tests of what the program does when a
// document brings the engine down: a PDF whose name holds "crash" kills the worker ("crash-late"
// only in a later piece, after piece 0 wrote its part), "hang" stops it for good and "hog"
// makes it eat memory until its limit stops it.
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
    }

private:
    static void eatMemory() {
        constexpr std::size_t chunk = 16u << 20;
        for (;;) {
            void* block = std::malloc(chunk);
            if (!block)
                std::abort(); // as the engine does when an allocation fails
            std::memset(block, 1, chunk);
        }
    }
};

int main(int argc, char* argv[]) {
    FaultyWorker worker;
    return worker.main(argc, argv);
}
