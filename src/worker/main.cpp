#include "worker/WorkerServer.h"

int main(int argc, char* argv[]) {
    WorkerServer server;
    return server.main(argc, argv);
}
