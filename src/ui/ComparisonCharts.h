#pragma once
// The comparison window's two charts: line current (I/In) and speed (n/ns) against time for every
// starting method, each in its own colour, named in a legend at the chart's right that follows
// the chart when it is resized.

#include "Dynamics.h"

#include <QColor>
#include <QString>

#include <array>

class QWidget;
class TxyGraph;

enum class ComparisonChart { Current, Speed };

// Evenly spaced samples per method that the window asks for, about one per pixel of a wide chart;
// the instants of the reported peaks and of each changeover come on top (ComputeComparison).
constexpr int ComparisonChartPoints = 600;

// The colour of a method's curves: direct-on-line blue and the soft-starter ramp red as in the
// main window, the others clearly apart from them and from each other.
QColor MethodColour(StartingMethod method);

// A legend listed down in a box at the top of the chart's right margin, kept at its right edge on
// every resize; FitLegendAtRight, after the series are named, sizes it to the names it shows and
// widens the right margin to hold it.
void KeepLegendAtRight(TxyGraph* chart);
void FitLegendAtRight(TxyGraph* chart);

// A chart for the window's layout: expanding, its legend kept at the right edge on every resize.
TxyGraph* NewComparisonChart(QWidget* parent, const char* name, ComparisonChart kind);

// Replaces the chart's series by one per applicable method (series number = method index + 1),
// drawn from its chart samples and named by `names` in the legend; points that are not finite are
// left out. Non-applicable methods get no series.
void PlotComparison(TxyGraph* chart, ComparisonChart kind, const ComparisonResults& results,
                    const std::array<QString, StartingMethodCount>& names);

// Titles of the chart and its axes in the chosen language.
void SetComparisonChartTexts(TxyGraph* chart, ComparisonChart kind, bool french);
