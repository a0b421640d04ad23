#include <iostream>

#include "FileAccess.h"
#include "SimCli.h"

int main(int argc, char** argv) {
    // Ctrl+C, a closed pipe or a kill leave no temporary file of an unfinished output behind.
    listfile::RemoveTemporariesOnSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunSimulatorCommand(args, std::cout, std::cerr);
}
