#pragma once
// The time-current chart of the protection check, drawn by the program's chart component: current
// in multiples of In against time in s, both axes logarithmic; the starts' paths in the main
// window's colours (direct-on-line blue, soft-starter red with marks), the earliest and the latest
// relay's cold and hot trip curves (a band per state, the latest dashed), the motor's limit lines
// and its locked-rotor points, with a legend beside the plot. The protection window and the command
// line's image draw it alike.

#include "ErrorMessages.h"
#include "Dynamics.h" // the overload relay's TimeCurrentCurves (src/ui has a Protection.h of its own)

class QWidget;
class TxyGraph;

// The series numbers. A start's path may run back and forth in current (a current limit rises,
// holds, falls) while the chart keeps a series sorted by x: each stretch that runs one way is a
// series of its own, the first at DolStart or SoftStarterStart, the others from DolMore or SoftMore.
namespace TimeCurrentSeries {
constexpr int DolStart = 1;
constexpr int SoftStarterStart = 2;
constexpr int EarliestCold = 3;
constexpr int LatestCold = 4;
constexpr int EarliestHot = 5;
constexpr int LatestHot = 6;
constexpr int MotorCold = 7;
constexpr int MotorHot = 8;
constexpr int MotorColdPoint = 9;
constexpr int MotorHotPoint = 10;
constexpr int DolMore = 100;
constexpr int SoftMore = 200;
constexpr int MaxMore = 99; // stretches beyond these go on the last one
} // namespace TimeCurrentSeries

// The size of the command line's image, px.
constexpr int TimeCurrentImageWidth = 900;
constexpr int TimeCurrentImageHeight = 600;

// A chart that grows with its place in a layout; its legend stays beside the plot on resizing.
TxyGraph* NewTimeCurrentChart(QWidget* parent, const char* name);

// Rebuilds the chart's series from the curves and draws it once: both axes logarithmic, current
// from CurrentMin to CurrentMax, time from TimeMin to TimeMax; texts in the language.
void PlotTimeCurrentChart(TxyGraph* chart, const TimeCurrentCurves& curves, Language language);
