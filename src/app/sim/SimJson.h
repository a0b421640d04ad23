#pragma once
// The motor data set as tarvello-sim --json prints it: one JSON object, numbers with 17
// significant digits (plain C++, no Qt, so that checks and fuzzing can use it without a display).

#include <string>

#include "MotorDataSet.h"

// One line: the object and "\n".
std::string MotorDataSetJson(const MotorDataSet& ds);
