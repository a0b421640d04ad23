#include <iostream>

#include "SimCli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunSimulatorCommand(args, std::cout, std::cerr);
}
