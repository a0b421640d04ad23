#pragma once
// tarvello-sim: the desktop program's computation path from the command line.

#include <ostream>
#include <string>
#include <vector>

// Runs one command; returns the exit status (0 done, 1 refused input, 2 usage error).
int RunSimulatorCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const SimulatorUsage;
