#include "platform/StandardStreams.h"
#include "worker/WorkerServer.h"

int main(int argc, char* argv[]) {
    platform::openClosedStandardStreams();
    WorkerServer server;
    return server.main(argc, argv);
}
