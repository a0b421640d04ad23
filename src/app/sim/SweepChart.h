#pragma once
// A sweep's result column drawn against the last swept option with the program's chart component,
// one series per combination of the other swept values, into a PNG image without a display.

#include <string>

#include "ErrorMessages.h"
#include "SimSweep.h"

// Returns the PNG file's bytes, empty when the image could not be made.
std::string SweepChartPng(const SweepPlot& plot, Language language);
