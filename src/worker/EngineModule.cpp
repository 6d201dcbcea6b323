// The PDF engine and the worker's server for folverin-cli's one-process mode (-j 1), built as a
// module of its own and loaded only when that mode is asked for: a run that converts in worker
// programs never maps the engine and the many libraries it pulls in. The program forks its
// worker from itself once the module is loaded, so the worker starts at once and a document
// that brings the engine down costs its own job alone.
#include "engine/RecognizerModule.h"
#include "worker/WorkerServer.h"

#define FOLVERIN_ENGINE_EXPORT extern "C" __attribute__((visibility("default")))

// The whole life of a forked worker, as the worker program's main() would live it.
FOLVERIN_ENGINE_EXPORT int folverinServeWorker(int argc, char* argv[]) {
    RecognizerModule::installForProcess();
    WorkerServer server;
    return server.main(argc, argv);
}
