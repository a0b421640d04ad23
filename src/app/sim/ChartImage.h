#pragma once
// The charts of a computation drawn as the main window shows them, into one PNG, without a display.

#include <string>

#include "ErrorMessages.h"
#include "Dynamics.h" // the overload relay's TimeCurrentCurves (src/ui has a Protection.h of its own)
#include "StartSimulation.h"

class QImage;

// Makes the application object that the chart widgets need, on the offscreen platform, once.
void EnsureApplication();

// Draws the two time charts and, when staticPoints is given, the two charts against n/ns, stacked
// as in the main window. Returns the PNG file's bytes, empty when the image could not be made.
std::string ChartImagePng(const std::vector<CurvePoint>& timePoints,
                          const std::vector<CurvePoint>* staticPoints, Language language);

// The PNG file's bytes of an image, empty when it cannot be encoded.
std::string PngBytes(const QImage& image);

// The time-current chart of a start against its overload relay, drawn as the desktop's protection
// window draws it. Returns the PNG file's bytes, empty when the image could not be made.
std::string TimeCurrentChartPng(const TimeCurrentCurves& curves, Language language);
