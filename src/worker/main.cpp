#include "engine/RecognizerModule.h"
#include "platform/StandardStreams.h"
#include "worker/WorkerServer.h"

int main(int argc, char* argv[]) {
    platform::openClosedStandardStreams();
    RecognizerModule::installForProcess();
    WorkerServer server;
    return server.main(argc, argv);
}
