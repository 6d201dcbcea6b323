#include "app/Application.h"
#include "platform/StandardStreams.h"

int main(int argc, char* argv[]) {
    platform::openClosedStandardStreams();
    return FolverinApplication::main(argc, argv);
}
