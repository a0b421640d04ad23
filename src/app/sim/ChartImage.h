#pragma once
// The charts of a computation drawn as the main window shows them, into one PNG, without a display.

#include <string>

#include "ErrorMessages.h"
#include "StartSimulation.h"

// Makes the application object that the chart widgets need, on the offscreen platform, once.
void EnsureApplication();

// Draws the two time charts and, when staticPoints is given, the two charts against n/ns, stacked
// as in the main window. Returns an empty text on success, else what went wrong.
std::string SaveChartImage(const std::vector<CurvePoint>& timePoints,
                           const std::vector<CurvePoint>* staticPoints, Language language,
                           const std::string& fileName);
