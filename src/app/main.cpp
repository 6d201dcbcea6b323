#include "app/Application.h"

int main(int argc, char* argv[]) {
    return FolverinApplication::main(argc, argv);
}
