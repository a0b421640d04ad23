#pragma once
// The main window's use of the chart component: the four charts' design settings, rebuilding
// their series from computed points, their styles after a computation, titles and printing.

#include <QString>

#include <vector>

class QWidget;
class TxyGraph;
struct CurvePoint;

enum class MainChart { CurrentTime, TorqueTime, CurrentSpeed, TorqueSpeed };

TxyGraph* NewMainChart(QWidget* parent, const char* name, int x, int y, MainChart kind);
QWidget* AsWidget(TxyGraph* chart);
// The blue "DOL" and red "With Soft-Starter" captions that name the two series, laid over the
// chart's lower right; returns them in that order.
std::pair<class QLabel*, class QLabel*> AddSeriesCaptions(TxyGraph* chart, const char* dolName,
                                                          const char* softStarterName);

// Plotting off and hidden, series 1 and 2 destroyed, then for each point in order: DOL current on
// series 1 of currentChart, DOL torque on series 1 of torqueChart, soft-starter current on
// series 2 of currentChart, soft-starter torque on series 2 of torqueChart.
void PlotCurves(TxyGraph* currentChart, TxyGraph* torqueChart, const std::vector<CurvePoint>& points);
void SetPlotting(TxyGraph* chart, bool on);
// Visible, axes fitted from 0, DOL series a plain blue line, soft-starter series red with marks.
void StyleChart(TxyGraph* chart);
void SetChartTitle(TxyGraph* chart, const QString& title);
QString ChartTitle(TxyGraph* chart);
void PrintChart(TxyGraph* chart);

// The points of a series as the chart holds them (empty when it has none).
std::vector<std::pair<double, double>> SeriesPoints(TxyGraph* chart, int series);
