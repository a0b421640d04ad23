#pragma once
// Axis ranges, tick steps, tick sequences, tick label texts and value/pixel conversion of the x-y
// chart. Nothing here knows about widgets or painting: it works on plain numbers, so the scaling
// rules can be tested and reused on their own.

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Tick units of a date axis, from fine to coarse; dt_custom steps like a linear axis.
enum Dateticks {
    dt_minute,
    dt_5minute,
    dt_halfhourly,
    dt_hourly,
    dt_daily,
    dt_weekly,
    dt_monthly,
    dt_2monthly,
    dt_quarterly,
    dt_annually,
    dt_decade,
    dt_century,
    dt_custom
};

// Where an axis line sits along the other axis.
enum TAxisOffsetType { ao_Minimum, ao_Maximum, ao_percentage, ao_absolute };

// Raised by the scaling code; what() carries one of the texts below.
class ChartError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kGetStepBadRange = "GetStep entered with bad range";
inline constexpr const char* kOMinAboveOMax = "Impossible: oMin > oMax in SetMinMax!";
inline constexpr const char* kSetMinMaxFailed = "SetMinMax failed";
inline constexpr const char* kCalcMetricsFailed = "CalcMetrics: XMin>=XMax";

// A value's pixel distance from the axis bound never exceeds this, so far-off points stay
// drawable by any paint engine.
inline constexpr int kPixelLimit = 20000;

// The chart-wide bounds on the number of tick steps.
struct StepLimits {
    int MinSteps = 5;
    int MaxSteps = 50;
};

// Everything the scaling rules read and write for one axis.
struct AxisScale {
    // Settings, mirrored by the axis properties.
    double Min = 0.0;
    double Max = 1.0;
    double StepSize = 0.2;
    double MinScaleLength = 0.0;
    bool LogScale = false;
    bool ShowAsTime = false;
    bool AutoSizing = false;
    bool AutoStepping = false;
    bool AutoLabelDecimals = true;
    int LabelDecimals = 1;
    int LogCycleDivisions = 2;
    Dateticks DateTickType = dt_minute;

    // Results of scaling.
    double oMin = 0.0; // data range to fit
    double oMax = 1.0;
    double Scale = 0.0; // pixels per unit (per unit of ln on a logarithmic axis)
    bool Valid = false;
    std::vector<double> LogTable{1.0, 2.0, 5.0, 10.0}; // mantissas of one decade, 1 first, 10 last
    bool ShortRange = false;                           // a logarithmic axis fell back to linear stepping
    bool LabelAll = false; // label every logarithmic subdivision, not only decade starts
};

// Linear step for a range [lo, hi] giving at least minSteps steps where it can.
double GetStep(int minSteps, double lo, double hi);

// Mantissas of one decade for a LogCycleDivisions value (1 ... 10).
std::vector<double> LogSubdivisions(int divisions);
// Stores the divisions (above 9 as 9) and rebuilds the table.
void SetLogCycleDivisions(AxisScale& a, int divisions);
// Count of table entries strictly between 1 and 10.
int LogIntermediateCount(const AxisScale& a);

// The fits work from a.oMin/a.oMax and set Min, Max (and StepSize or the table).
void LinearFit(AxisScale& a, const StepLimits& lim);
void LogFit(AxisScale& a, const StepLimits& lim);
void AutoLogDivisions(AxisScale& a, int minSteps);

// Date axes: values are day numbers counted from 30 Dec 1899, the fraction being the time of day.
double DateStepDays(Dateticks t);
double DateFloor(double v, Dateticks t);
double DateCeil(double v, Dateticks t);
double DateAdvance(double v, Dateticks t, int units = 1);
void DateFit(AxisScale& a);
// Today's date and time as a day number.
double DateNow();
// Formats a day number with a format such as "dd-mmm" or "dd/mm/yyyy hh:nn".
std::string FormatDateTime(const std::string& format, double v);

// Autosizes one axis; hasData tells whether any drawn series belongs to it. Returns true when the
// range now differs from the data range.
bool AutoSize(AxisScale& a, bool hasData, const StepLimits& lim, double now);
// Whether the range can be drawn at all.
bool RangeIsValid(const AxisScale& a);
// Per-draw scaling of one axis: autosize, validity, automatic stepping. Returns AutoSize's report.
bool ScaleAxis(AxisScale& a, bool hasData, const StepLimits& lim, double now);
// Pixels per unit for an axis drawn over `pixels` pixels.
void ComputeScaleFactor(AxisScale& a, int pixels, const std::string& title);

// Step used for drawing ticks, labels and gridlines. A date axis may move to a coarser
// DateTickType (refitting itself when autosized, then rescaling over `pixels`).
double DrawStep(AxisScale& a, const StepLimits& lim, int pixels, const std::string& title);

struct Tick {
    double Value;
    bool Labelled;
};
// Tick values from Min to Max for the given drawing step (ignored on logarithmic axes).
std::vector<Tick> TickSequence(const AxisScale& a, double step);

// Decimals of the tick labels for a step (never below 0).
int AutoDecimals(double step);
// Decimals of the labels of a logarithmic decade whose first tick is firstTick.
int LogDecimals(const AxisScale& a, double firstTick);

// Label of a value on a linear or logarithmic axis; range is Max - Min.
std::string FormatLabel(double v, int decimals, double range, char decimalPoint = '.');

// Value along `other` at which an axis line is drawn.
double AxisCrossValue(TAxisOffsetType type, double offset, const AxisScale& other);

// Pixel of a value: horizontal axes count from Min rightwards, vertical ones from Max downwards.
// Beyond kPixelLimit pixels from the bound the result is +/-kPixelLimit without margin or offset.
int ValueToPixel(const AxisScale& a, double v, bool vertical, int margin, int offset);
double PixelToValue(const AxisScale& a, int px, bool vertical, int margin, int offset);

// Value <-> pixel along one axis of one drawing: its scaling, direction, margin and the offset of
// the picture on its target. It refers to the scaling, so it follows changes made while drawing.
class ScaleMap {
public:
    ScaleMap(const AxisScale& scale, bool vertical, int margin, int offset)
        : m_s(&scale), m_vertical(vertical), m_margin(margin), m_offset(offset) {}
    int ToPixel(double v) const { return ValueToPixel(*m_s, v, m_vertical, m_margin, m_offset); }
    double ToValue(int px) const { return PixelToValue(*m_s, px, m_vertical, m_margin, m_offset); }
    const AxisScale& Scale() const { return *m_s; }

private:
    const AxisScale* m_s;
    bool m_vertical;
    int m_margin;
    int m_offset;
};

// Which X labels to draw, given each label's left and right pixel in tick order: a label is
// skipped when it would not start right of the last one drawn; the last one is always drawn.
std::vector<bool> SelectXLabels(const std::vector<std::pair<int, int>>& extents);
