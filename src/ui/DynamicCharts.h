#pragma once
// The charts of the dynamic start window: speed, current, torque and voltage against time, drawn
// by the program's chart component in the main window's colours (direct-on-line blue, soft-starter
// red with marks); load torque and busbar voltage as dashed lines of the same colours.

#include <QString>

class QColor;
class QLabel;
class QVBoxLayout;
class QWidget;
class TxyGraph;
struct DynamicResults;
struct ToleranceCorners;

enum class DynamicChart { Speed, Current, Torque, Voltage };

// Evenly spaced samples per start that the window asks for, about one per pixel of a wide chart;
// the instants of the reported peaks and of each changeover come on top (ComputeDynamicStart).
constexpr int DynamicChartPoints = 600;

// The frame of a window of charts (dynamic start, motor characteristics): its object name, font and
// window buttons, and its outer layout holding the notice shown instead of the charts before any
// results.
QVBoxLayout* NewChartWindowLayout(QWidget* window, const char* name, QLabel*& notice);
// A bold legend label in the colour of the curves it names.
QLabel* NewLegendLabel(QWidget* parent, const char* name, const QColor& colour);

// A chart that grows with its place in a layout; it cannot be dragged about within its window.
TxyGraph* NewDynamicChart(QWidget* parent, const char* name, DynamicChart kind);

// Rebuilds the chart's series from the results' chart samples (DolChart, SoftStarterChart) and
// draws it once with axes fitted to them. The voltage chart shows the busbar only when `network`
// is true. Every value is finite (the computation refuses anything else); a value that is not is
// left out. With tolerance corners, the speed and current charts also draw each corner's start as a
// thin dotted line in the colour of the start it belongs to (a refused corner draws nothing).
void PlotDynamicChart(TxyGraph* chart, DynamicChart kind, const DynamicResults& results, bool network,
                      const ToleranceCorners* corners = nullptr);

// The voltage chart's axis reaches at least this far (and 5 % beyond the highest value), so that
// a voltage at 1.0 is drawn inside the plot.
constexpr double VoltageAxisTop = 1.1;

// The series numbers of the charts.
namespace DynamicSeries {
constexpr int Dol = 1;         // speed, current, motor torque, motor voltage
constexpr int SoftStarter = 2; // the same with the soft-starter
constexpr int DolExtra = 3;    // load torque, busbar voltage (direct-on-line)
constexpr int SoftExtra = 4;   // load torque, busbar voltage (soft-starter)
// The tolerance corners' speed and current (DynamicCorners), each start's weak and heavy corner.
constexpr int DolWeak = 5;
constexpr int DolHeavy = 6;
constexpr int SoftWeak = 7;
constexpr int SoftHeavy = 8;
} // namespace DynamicSeries

void SetDynamicChartTexts(TxyGraph* chart, const QString& title, const QString& yTitle);
