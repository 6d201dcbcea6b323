#include "cli/InProcessEngine.h"

#include <dlfcn.h>

InProcessEngine::InProcessEngine(const std::string& programDir) {
    const std::string path = programDir + "folverin-engine.so";
    // Never closed: the workers forked from this process run its code.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module)
        serveWorker = reinterpret_cast<WorkerProcess::Serve>(::dlsym(module, "folverinServeWorker"));
    if (!serveWorker)
        loadError =
            "cannot load the PDF engine " + path + (module ? std::string() : ": " + std::string(::dlerror()));
}
