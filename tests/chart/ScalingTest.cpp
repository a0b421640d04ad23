// Axis ranges, steps, ticks and labels, checked on the scaling code alone.
#include "AxisScaling.h"
#include "Watchdog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

namespace {

AxisScale Data(double lo, double hi, bool autoStepping = false) {
    AxisScale a;
    a.oMin = lo;
    a.oMax = hi;
    a.AutoSizing = true;
    a.AutoStepping = autoStepping;
    return a;
}

std::vector<double> Values(const std::vector<Tick>& ticks) {
    std::vector<double> v;
    for (const Tick& t : ticks)
        v.push_back(t.Value);
    return v;
}

std::string ErrorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const ChartError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(GetStep, WorkedValues) {
    EXPECT_DOUBLE_EQ(GetStep(5, 0, 1), 0.2);
    EXPECT_DOUBLE_EQ(GetStep(5, 0, 2.5), 0.5);
    EXPECT_DOUBLE_EQ(GetStep(5, 0, 10), 2.0);
    EXPECT_DOUBLE_EQ(GetStep(5, 0, 9.99), 1.0);
    EXPECT_DOUBLE_EQ(GetStep(5, 0, 0.9), 0.1);
    EXPECT_DOUBLE_EQ(GetStep(5, 0, 0.1), 0.01);
    // The same ranges anywhere on the axis.
    EXPECT_DOUBLE_EQ(GetStep(5, 100, 101), 0.2);
    EXPECT_DOUBLE_EQ(GetStep(5, -7, 3), 2.0);
}

TEST(GetStep, FallsBackToAHundredthWhenNothingElseGivesEnoughSteps) {
    // r = 1 with 60 steps wanted: 1, 0.5, 0.2, 0.1, 0.05 and 0.02 all give fewer than 60.
    EXPECT_DOUBLE_EQ(GetStep(60, 0, 1), 0.01);
}

TEST(GetStep, BadRangesRaiseTheError) {
    EXPECT_EQ(ErrorText([] { GetStep(5, 1, 1); }), "GetStep entered with bad range");
    EXPECT_EQ(ErrorText([] { GetStep(5, 2, 1); }), "GetStep entered with bad range");
    EXPECT_EQ(ErrorText([] { GetStep(5, 0, INFINITY); }), "GetStep entered with bad range");
    EXPECT_EQ(ErrorText([] { GetStep(5, 0, NAN); }), "GetStep entered with bad range");
}

TEST(LinearFit, ZeroTo2Point3AsInTheWorkedExample) {
    AxisScale a = Data(0.0, 2.3, true);
    const StepLimits lim;
    EXPECT_TRUE(AutoSize(a, true, lim, 0));
    EXPECT_DOUBLE_EQ(a.Min, -0.2);
    EXPECT_DOUBLE_EQ(a.Max, 2.4);
    EXPECT_DOUBLE_EQ(a.StepSize, 0.2);

    // The per-draw step of the whole scaling and the ticks it gives.
    AxisScale b = Data(0.0, 2.3, true);
    ScaleAxis(b, true, lim, 0);
    EXPECT_TRUE(b.Valid);
    EXPECT_DOUBLE_EQ(b.StepSize, 0.5);
    const double step = DrawStep(b, lim, 300, "X");
    EXPECT_DOUBLE_EQ(step, 0.5);
    const std::vector<double> ticks = Values(TickSequence(b, step));
    ASSERT_EQ(ticks.size(), 5u);
    EXPECT_NEAR(ticks.front(), 0.0, 1e-12);
    EXPECT_NEAR(ticks.back(), 2.0, 1e-12);
}

TEST(LinearFit, EqualDataGetsARangeFromZero) {
    const StepLimits lim;
    AxisScale a = Data(3.0, 3.0);
    LinearFit(a, lim);
    EXPECT_DOUBLE_EQ(a.Min, 0.0);
    EXPECT_DOUBLE_EQ(a.Max, 3.5);
    EXPECT_DOUBLE_EQ(a.StepSize, 0.5);

    AxisScale n = Data(-3.0, -3.0);
    LinearFit(n, lim);
    EXPECT_DOUBLE_EQ(n.Min, -3.6);
    EXPECT_DOUBLE_EQ(n.Max, 0.0);

    AxisScale z = Data(0.0, 0.0);
    LinearFit(z, lim);
    EXPECT_DOUBLE_EQ(z.Min, -1.0);
    EXPECT_DOUBLE_EQ(z.Max, 1.0);
}

TEST(LinearFit, RoundsOutwardsAndSnapsToZero) {
    const StepLimits lim;
    AxisScale a = Data(0.35, 0.95);
    a.StepSize = 0.1;
    LinearFit(a, lim);
    EXPECT_NEAR(a.Min, 0.3, 1e-12);
    EXPECT_NEAR(a.Max, 1.0, 1e-12);

    AxisScale b = Data(10, 11);
    LinearFit(b, lim);
    EXPECT_DOUBLE_EQ(b.StepSize, 0.2); // 0.2 initial step kept
    EXPECT_NEAR(b.Min, 9.8, 1e-12);
    EXPECT_NEAR(b.Max, 11.2, 1e-12);

    AxisScale c = Data(2, 10);
    c.StepSize = 1.0;
    LinearFit(c, lim);
    EXPECT_DOUBLE_EQ(c.Min, 0.0); // 2 / 10 < 0.25
    EXPECT_DOUBLE_EQ(c.Max, 11.0);

    // Negative data snap their top to 0 the same way.
    AxisScale d = Data(-10, -2);
    d.StepSize = 1.0;
    LinearFit(d, lim);
    EXPECT_DOUBLE_EQ(d.Min, -11.0);
    EXPECT_DOUBLE_EQ(d.Max, 0.0);
}

TEST(LinearFit, TooFineAStepIsReplacedEvenWithoutAutoStepping) {
    AxisScale a = Data(0, 100);
    a.StepSize = 0.1; // 1000 steps > MaxSteps
    LinearFit(a, StepLimits{});
    EXPECT_DOUBLE_EQ(a.StepSize, GetStep(5, 0, 100));
    EXPECT_LE((a.Max - a.Min) / a.StepSize, 50);
}

TEST(LinearFit, ReversedDataRaiseTheError) {
    AxisScale a = Data(2, 1);
    EXPECT_EQ(ErrorText([&] { LinearFit(a, StepLimits{}); }), "Impossible: oMin > oMax in SetMinMax!");
}

TEST(LinearFit, FailedFitRaisesTheError) {
    // A span of a few units in the last place cannot be rounded to distinct steps.
    AxisScale a = Data(0.0027884210371125029, 0.0027884210371125033);
    a.StepSize = 1.2463215696144184e-19;
    EXPECT_EQ(ErrorText([&] { LinearFit(a, StepLimits{}); }), "SetMinMax failed");
}

TEST(AutoSize, MinScaleLengthWidensTheData) {
    AxisScale a = Data(1.0, 1.1);
    a.MinScaleLength = 5.0;
    AutoSize(a, true, StepLimits{}, 0);
    EXPECT_DOUBLE_EQ(a.oMax, 6.0);
    EXPECT_LE(a.Min, 1.0);
    EXPECT_GE(a.Max, 6.0);
}

TEST(AutoSize, AxisWithoutDataIsOnlySanitised) {
    const StepLimits lim;
    AxisScale a;
    a.AutoSizing = true;
    a.Min = 5;
    a.Max = 2;
    EXPECT_FALSE(AutoSize(a, false, lim, 0));
    EXPECT_EQ(a.Min, 2);
    EXPECT_EQ(a.Max, 5);
    EXPECT_DOUBLE_EQ(a.StepSize, GetStep(5, 2, 5));

    AxisScale e;
    e.Min = e.Max = 4;
    AutoSize(e, false, lim, 0);
    EXPECT_EQ(e.Min, 0);
    EXPECT_EQ(e.Max, 4);

    AxisScale z;
    z.Min = z.Max = 0;
    AutoSize(z, false, lim, 0);
    EXPECT_EQ(z.Min, -1);
    EXPECT_EQ(z.Max, 1);

    // An equal negative pair becomes 0 ... -4: reversed, so it keeps its step and is invalid.
    AxisScale n;
    n.Min = n.Max = -4;
    n.StepSize = 0.7;
    EXPECT_NO_THROW(AutoSize(n, false, lim, 0));
    EXPECT_EQ(n.Min, 0);
    EXPECT_EQ(n.Max, -4);
    EXPECT_EQ(n.StepSize, 0.7);
    EXPECT_FALSE(RangeIsValid(n));

    AxisScale l;
    l.LogScale = true;
    l.Min = -3;
    l.Max = 50;
    AutoSize(l, false, lim, 0);
    EXPECT_DOUBLE_EQ(l.Min, 5.0);
    l.Min = -3;
    l.Max = -1;
    AutoSize(l, false, lim, 0);
    EXPECT_EQ(l.Min, 1);
    EXPECT_EQ(l.Max, 10);
}

TEST(AutoSize, EmptyDateAxisEndsNow) {
    AxisScale a;
    a.ShowAsTime = true;
    a.DateTickType = dt_daily;
    AutoSize(a, false, StepLimits{}, 45000.5);
    EXPECT_DOUBLE_EQ(a.Max, 45000.5);
    EXPECT_DOUBLE_EQ(a.Min, 44995.5);
}

TEST(LogFit, WholeDecadesForWideRanges) {
    AxisScale a = Data(2, 500);
    a.LogScale = true;
    AutoSize(a, true, StepLimits{}, 0);
    EXPECT_DOUBLE_EQ(a.Min, 1.0);
    EXPECT_DOUBLE_EQ(a.Max, 1000.0);
    EXPECT_FALSE(a.ShortRange);
}

TEST(LogFit, MediumRangesRoundToSubdivisions) {
    AxisScale a = Data(3, 40); // ratio 13.3, table 1 2 5 10
    a.LogScale = true;
    LogFit(a, StepLimits{});
    EXPECT_DOUBLE_EQ(a.Min, 2.0);
    EXPECT_DOUBLE_EQ(a.Max, 50.0);
}

TEST(LogFit, ShortRangesFallBackToLinearAndStayPositive) {
    AxisScale a = Data(10, 39); // ratio 3.9; a linear zero snap would give 0
    a.LogScale = true;
    LogFit(a, StepLimits{});
    EXPECT_TRUE(a.ShortRange);
    EXPECT_TRUE(a.LabelAll);
    EXPECT_GT(a.Min, 0.0);
    EXPECT_LE(a.Min, 10.0);
    EXPECT_GE(a.Max, 39.0);
}

TEST(LogFit, SubdivisionTables) {
    EXPECT_EQ(LogSubdivisions(0), (std::vector<double>{1, 10}));
    EXPECT_EQ(LogSubdivisions(1), (std::vector<double>{1, 5, 10}));
    EXPECT_EQ(LogSubdivisions(3), (std::vector<double>{1, 2, 5, 10}));
    EXPECT_EQ(LogSubdivisions(6), (std::vector<double>{1, 1.5, 2, 3, 5, 7, 10}));
    EXPECT_EQ(LogSubdivisions(8), (std::vector<double>{1, 1.5, 2, 3, 4, 5, 6, 8, 10}));
    EXPECT_EQ(LogSubdivisions(40).size(), 11u);
    AxisScale a;
    SetLogCycleDivisions(a, 12);
    EXPECT_EQ(a.LogCycleDivisions, 9);
}

TEST(LogFit, AutomaticSubdivisions) {
    AxisScale a;
    a.Min = 1;
    a.Max = 10; // one decade, 5 steps wanted: n = 5 -> 2
    AutoLogDivisions(a, 5);
    EXPECT_EQ(a.LogCycleDivisions, 2);
    a.Max = 1e6; // n < 1 -> 0
    AutoLogDivisions(a, 5);
    EXPECT_EQ(a.LogCycleDivisions, 0);
    a.Max = 2; // n = 16.6 -> 9
    AutoLogDivisions(a, 5);
    EXPECT_EQ(a.LogCycleDivisions, 9);
}

TEST(Ticks, LogarithmicTicksLabelDecades) {
    AxisScale a;
    a.LogScale = true;
    a.Min = 1;
    a.Max = 1000;
    SetLogCycleDivisions(a, 2);
    a.LabelAll = false;
    const std::vector<Tick> t = TickSequence(a, 0);
    ASSERT_EQ(t.size(), 10u); // 1 2 5 10 20 50 100 200 500 1000
    EXPECT_DOUBLE_EQ(t[0].Value, 1);
    EXPECT_DOUBLE_EQ(t[4].Value, 20);
    EXPECT_DOUBLE_EQ(t[9].Value, 1000);
    EXPECT_TRUE(t[3].Labelled);
    EXPECT_FALSE(t[4].Labelled);
}

TEST(Ticks, LinearTicksStartOnAStepAndEndAtMax) {
    AxisScale a;
    a.Min = -0.3;
    a.Max = 1.05;
    const std::vector<double> t = Values(TickSequence(a, 0.2));
    ASSERT_FALSE(t.empty());
    EXPECT_NEAR(t.front(), -0.2, 1e-12);
    EXPECT_NEAR(t.back(), 1.0, 1e-12);
    EXPECT_EQ(t.size(), 7u);
}

TEST(Ticks, SequenceIsBoundedWhateverTheStep) {
    AxisScale a;
    a.Min = 0;
    a.Max = 1;
    EXPECT_LE(TickSequence(a, 1e-12).size(), 10000u);
    EXPECT_TRUE(TickSequence(a, 0).empty());
    AxisScale huge;
    huge.Min = 1e300;
    huge.Max = 1e300 * 1.0000000000001;
    EXPECT_LE(TickSequence(huge, 1e270).size(), 10000u);
}

TEST(DrawStep, ReplacesStepsThatGiveTooManyTicks) {
    AxisScale a;
    a.Min = 0;
    a.Max = 10;
    a.StepSize = 0.01; // 1000 steps
    EXPECT_DOUBLE_EQ(DrawStep(a, StepLimits{}, 300, "X"), 2.0);
    EXPECT_DOUBLE_EQ(a.StepSize, 0.01); // kept
    a.StepSize = -1;
    EXPECT_DOUBLE_EQ(DrawStep(a, StepLimits{}, 300, "X"), 2.0);
    a.StepSize = 0.5;
    EXPECT_DOUBLE_EQ(DrawStep(a, StepLimits{}, 300, "X"), 0.5);
}

TEST(Labels, AutoDecimals) {
    EXPECT_EQ(AutoDecimals(0.2), 1);
    EXPECT_EQ(AutoDecimals(0.05), 2);
    EXPECT_EQ(AutoDecimals(0.5), 1);
    EXPECT_EQ(AutoDecimals(2), 0);
    EXPECT_EQ(AutoDecimals(0.25), 1);
    EXPECT_EQ(AutoDecimals(10), 0);
    EXPECT_EQ(AutoDecimals(0.001), 3);
}

TEST(Labels, Texts) {
    EXPECT_EQ(FormatLabel(0.4, 1, 2.4), "0.4");
    EXPECT_EQ(FormatLabel(2, 1, 2.4), "2.0");
    EXPECT_EQ(FormatLabel(-0.25, 2, 2.4), "-0.25");
    EXPECT_EQ(FormatLabel(12000, 0, 20000), "1.2E+4");
    EXPECT_EQ(FormatLabel(-12000, 0, 20000), "-1.2E+4");
    // 0.0005 is written with an exponent unless it is within a thousandth of the range of 0.
    EXPECT_EQ(FormatLabel(0.0005, 4, 0.002), "5.0E-4");
    EXPECT_EQ(FormatLabel(0.0005, 4, 1.0), "0.0005");
    // A tick that misses 0 by rounding prints as zero, without a sign.
    EXPECT_EQ(FormatLabel(1e-17, 1, 2.0), "0.0");
    EXPECT_EQ(FormatLabel(-1e-17, 1, 2.0), "0.0");
    EXPECT_EQ(FormatLabel(1.5, 1, 3, ','), "1,5");
    // Five significant digits.
    EXPECT_EQ(FormatLabel(1.234567, 4, 3), "1.2346");
}

TEST(Labels, DateTexts) {
    // Day 45000 is 15 Mar 2023; 0.75 is 18:00.
    EXPECT_EQ(FormatDateTime("dd-mmm", 45000.75), "15-Mar");
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", 45000.75), "2023/03/15 18:00");
    EXPECT_EQ(FormatDateTime("hh:mm", 45000.5 + 1.0 / 1440), "12:01");
    EXPECT_EQ(FormatDateTime("'Day' d", 45000), "Day 15");
}

TEST(Dates, UnitsFloorCeilAndAdvance) {
    const double v = 45000.75; // Wed 15 Mar 2023 18:00
    EXPECT_DOUBLE_EQ(DateFloor(v, dt_daily), 45000);
    EXPECT_DOUBLE_EQ(DateCeil(v, dt_daily), 45001);
    EXPECT_DOUBLE_EQ(DateFloor(v, dt_weekly), 44998);        // Monday 13 Mar
    EXPECT_DOUBLE_EQ(DateFloor(v, dt_monthly), 44986);       // 1 Mar 2023
    EXPECT_DOUBLE_EQ(DateAdvance(44986, dt_monthly), 45017); // 1 Apr 2023
    EXPECT_DOUBLE_EQ(DateFloor(v, dt_annually), 44927);      // 1 Jan 2023
    EXPECT_DOUBLE_EQ(DateFloor(v, dt_hourly), 45000.75);
    EXPECT_DOUBLE_EQ(DateCeil(45000.0, dt_monthly), 45017);
    // 31 Jan + 1 month is the last day of February.
    EXPECT_DOUBLE_EQ(DateAdvance(44957, dt_monthly), 44985); // 31 Jan -> 28 Feb 2023
}

TEST(Dates, FitAndCoarsening) {
    AxisScale a = Data(45000.2, 45003.7);
    a.ShowAsTime = true;
    a.DateTickType = dt_daily;
    const StepLimits lim;
    ScaleAxis(a, true, lim, 0);
    EXPECT_TRUE(a.Valid);
    EXPECT_DOUBLE_EQ(a.Min, 45000);
    EXPECT_DOUBLE_EQ(a.Max, 45004);

    // Minutes over four days are far too many ticks: the unit grows until they fit.
    AxisScale b = Data(45000.2, 45003.7);
    b.ShowAsTime = true;
    b.DateTickType = dt_minute;
    ScaleAxis(b, true, lim, 0);
    ComputeScaleFactor(b, 300, "X");
    const double step = DrawStep(b, lim, 300, "X");
    EXPECT_LE((b.Max - b.Min) / step, lim.MaxSteps);
    EXPECT_LE(TickSequence(b, step).size(), static_cast<std::size_t>(lim.MaxSteps) + 1);
}

TEST(Validity, RangesThatCannotBeDrawn) {
    AxisScale a;
    a.Min = 1;
    a.Max = 1;
    EXPECT_FALSE(RangeIsValid(a));
    a.Max = 2;
    EXPECT_TRUE(RangeIsValid(a));
    a.Max = INFINITY;
    EXPECT_FALSE(RangeIsValid(a));
    a.Max = 2;
    a.Min = 0;
    a.LogScale = true;
    EXPECT_FALSE(RangeIsValid(a));
    a.LogScale = false;
    a.ShowAsTime = true;
    EXPECT_FALSE(RangeIsValid(a)); // dates start at day 1
}

TEST(Pixels, ValueToPixelAndBack) {
    AxisScale x;
    x.Min = 0;
    x.Max = 2.4;
    ComputeScaleFactor(x, 312, "X");
    EXPECT_EQ(ValueToPixel(x, 0, false, 40, 0), 40);
    EXPECT_EQ(ValueToPixel(x, 2.4, false, 40, 0), 352);
    EXPECT_EQ(ValueToPixel(x, 1.2, false, 40, 10), 40 + 156 + 10);
    EXPECT_NEAR(PixelToValue(x, 196, false, 40, 0), 1.2, 1e-12);

    AxisScale y;
    y.Min = 0;
    y.Max = 8;
    ComputeScaleFactor(y, 49, "Y");
    EXPECT_EQ(ValueToPixel(y, 8, true, 30, 0), 30);
    EXPECT_EQ(ValueToPixel(y, 0, true, 30, 0), 79);
    EXPECT_NEAR(PixelToValue(y, 79, true, 30, 0), 0.0, 1e-12);

    AxisScale l;
    l.LogScale = true;
    l.Min = 1;
    l.Max = 100;
    ComputeScaleFactor(l, 200, "L");
    EXPECT_EQ(ValueToPixel(l, 10, false, 0, 0), 100);
    EXPECT_NEAR(PixelToValue(l, 100, false, 0, 0), 10.0, 1e-9);
}

TEST(Pixels, FarValuesStopAtTheLimit) {
    AxisScale x;
    x.Min = 0;
    x.Max = 1;
    ComputeScaleFactor(x, 100, "X");
    // 1000 units x 100 px is beyond 20000 px: the limit, with no margin or offset added.
    EXPECT_EQ(ValueToPixel(x, 1000, false, 40, 7), 20000);
    // Just inside the limit the margin and offset are added as usual.
    EXPECT_EQ(ValueToPixel(x, 199.99, false, 40, 7), 19999 + 47);
    // Far on the other side it keeps its side.
    EXPECT_EQ(ValueToPixel(x, -1000, false, 40, 7), -20000);
    EXPECT_EQ(ValueToPixel(x, NAN, false, 40, 7), 20000);
}

TEST(Pixels, ScaleOfAnEmptyRangeRaisesTheError) {
    AxisScale a;
    a.Min = 1;
    a.Max = 1;
    EXPECT_EQ(ErrorText([&] { ComputeScaleFactor(a, 100, "X axis"); }), "X axis CalcMetrics: XMin>=XMax");
}

TEST(AxisPosition, ByOffsetType) {
    AxisScale y;
    y.Min = -2;
    y.Max = 6;
    EXPECT_EQ(AxisCrossValue(ao_Minimum, 0, y), -2);
    EXPECT_EQ(AxisCrossValue(ao_Maximum, 0, y), 6);
    EXPECT_EQ(AxisCrossValue(ao_percentage, 25, y), 0);
    EXPECT_EQ(AxisCrossValue(ao_absolute, 1.5, y), 1.5);
}

TEST(XLabels, OverlappingLabelsAreSkippedButTheLastIsKept) {
    // Labels 20 px wide every 15 px: every other one fits; the last one always shows.
    std::vector<std::pair<int, int>> ext;
    for (int i = 0; i < 6; ++i)
        ext.push_back({i * 15, i * 15 + 20});
    const std::vector<bool> d = SelectXLabels(ext);
    EXPECT_EQ(d, (std::vector<bool>{true, false, true, false, true, true}));
    // A label starting exactly at the previous one's right edge counts as overlapping.
    EXPECT_EQ(SelectXLabels({{0, 10}, {10, 20}, {11, 21}}), (std::vector<bool>{true, false, true}));
}

// Below about 1e-323 the decade of Min is no positive double. The ticks must still start, rise
// and stop, whatever the range.
TEST(Ticks, LogarithmicAxesDownToTheSmallestDoubles) {
    const double lowest = std::numeric_limits<double>::denorm_min();
    const double cases[][2] = {{5e-324, 1.0},    {lowest, 1.0},     {1e-320, 1e-300},
                               {lowest, 1e-322}, {lowest, DBL_MAX}, {1e-310, 1e-309}};
    for (const auto& c : cases) {
        for (int divisions : {0, 2, 9}) {
            AxisScale a;
            a.LogScale = true;
            a.Min = c[0];
            a.Max = c[1];
            SetLogCycleDivisions(a, divisions);
            std::vector<double> t;
            FinishesWithin(10, "a logarithmic tick sequence", [&] { t = Values(TickSequence(a, 0)); });
            SCOPED_TRACE(testing::Message() << c[0] << " ... " << c[1] << ", divisions " << divisions);
            ASSERT_FALSE(t.empty());
            EXPECT_LE(t.size(), 10000u);
            EXPECT_GT(t.front(), 0.0);
            EXPECT_GE(t.front(), 0.999 * a.Min);
            EXPECT_LE(t.back(), a.Max * 1.001);
            EXPECT_TRUE(std::is_sorted(t.begin(), t.end()));
            EXPECT_EQ(std::adjacent_find(t.begin(), t.end()), t.end()) << "a tick repeats";
        }
    }
    // Whole decades from the lowest positive one up to 1.
    AxisScale d;
    d.LogScale = true;
    d.Min = 5e-324;
    d.Max = 1.0;
    SetLogCycleDivisions(d, 0);
    const std::vector<double> t = Values(TickSequence(d, 0));
    ASSERT_EQ(t.size(), 324u);
    EXPECT_EQ(t.front(), 1e-323);
    EXPECT_DOUBLE_EQ(t[23], 1e-300);
    EXPECT_EQ(t.back(), 1.0);
}

TEST(LogFit, DataDownToTheSmallestDoubles) {
    for (double lo : {5e-324, std::numeric_limits<double>::denorm_min(), 3e-322}) {
        AxisScale a = Data(lo, 10.0, true);
        a.LogScale = true;
        FinishesWithin(10, "a logarithmic fit", [&] { ScaleAxis(a, true, StepLimits{}, 0); });
        EXPECT_TRUE(a.Valid) << lo;
        EXPECT_GT(a.Min, 0.0);
        EXPECT_LE(a.Min, 1e-321);
        EXPECT_EQ(a.Max, 100.0);
        EXPECT_LE(TickSequence(a, 0).size(), 10000u);
    }
}

// A date axis spanning more calendar units than ticks could be drawn is stepped linearly, and
// day numbers beyond any calendar do not break the day arithmetic.
TEST(Ticks, DateAxesBeyondTheCalendar) {
    const StepLimits lim;
    const double cases[][2] = {{1.0, 1e300}, {1e300, 2e300}, {1.0, 1e12}, {1e15, 1e15 + 5}};
    for (const auto& c : cases) {
        AxisScale a;
        a.ShowAsTime = true;
        a.DateTickType = dt_minute;
        a.Min = c[0];
        a.Max = c[1];
        std::vector<Tick> t;
        FinishesWithin(10, "a date tick sequence", [&] {
            ScaleAxis(a, false, lim, 0);
            ComputeScaleFactor(a, 300, "X");
            t = TickSequence(a, DrawStep(a, lim, 300, "X"));
            for (const Tick& k : t)
                FormatDateTime("dd-mmm-yyyy hh:nn", k.Value);
        });
        SCOPED_TRACE(testing::Message() << c[0] << " ... " << c[1]);
        EXPECT_LE(t.size(), 1000u);
        for (std::size_t i = 1; i < t.size(); ++i)
            EXPECT_GT(t[i].Value, t[i - 1].Value);
    }
    // Within the calendar the ticks still go by calendar units: 1 Jan of each year.
    AxisScale y;
    y.ShowAsTime = true;
    y.DateTickType = dt_annually;
    y.Min = 44927; // 1 Jan 2023
    y.Max = 44927 + 3 * 365 + 1;
    const std::vector<double> years = Values(TickSequence(y, 365));
    EXPECT_EQ(years, (std::vector<double>{44927, 45292, 45658, 46023}));
}

// "Max = 1 is mantissa 10 of the decade below" holds for 1 alone: 100 opens its decade.
TEST(LogFit, OnlyAMaximumOfOneClosesTheDecadeBelow) {
    const StepLimits lim;
    auto fit = [&](double lo, double hi) {
        AxisScale a = Data(lo, hi);
        a.LogScale = true;
        LogFit(a, lim);
        return std::pair<double, double>(a.Min, a.Max);
    };
    EXPECT_EQ(fit(2, 100), (std::pair<double, double>(1, 1000)));
    EXPECT_EQ(fit(0.2, 10), (std::pair<double, double>(0.1, 100)));
    EXPECT_EQ(fit(0.02, 1), (std::pair<double, double>(0.01, 1)));
    // With a ratio below 30 the power of ten is its own subdivision either way.
    EXPECT_EQ(fit(20, 100), (std::pair<double, double>(20, 100)));
    EXPECT_EQ(fit(0.15, 1), (std::pair<double, double>(0.1, 1)));
}

// The short-range flag is what the last logarithmic fit found; a draw does not recompute it.
TEST(LogFit, ShortRangeFlagComesFromTheFitAlone) {
    const StepLimits lim;
    for (bool autoStepping : {false, true}) {
        AxisScale a; // never fitted: 1 ... 2 is stepped by the subdivisions
        a.LogScale = true;
        a.Min = 1;
        a.Max = 2;
        a.AutoStepping = autoStepping;
        ScaleAxis(a, false, lim, 0);
        EXPECT_TRUE(a.Valid);
        EXPECT_FALSE(a.ShortRange) << autoStepping;
        const std::vector<double> logTicks =
            autoStepping ? std::vector<double>{1, 1.2, 1.5, 2} : std::vector<double>{1, 2};
        EXPECT_EQ(Values(TickSequence(a, DrawStep(a, lim, 300, "X"))), logTicks);

        AxisScale f = Data(10, 39, autoStepping); // a fit that falls back to linear stepping
        f.LogScale = true;
        ScaleAxis(f, true, lim, 0);
        ASSERT_TRUE(f.ShortRange);
        f.AutoSizing = false;
        f.Min = 1;
        f.Max = 1000; // a wide range set by hand keeps the flag until the next fit
        ScaleAxis(f, false, lim, 0);
        EXPECT_TRUE(f.ShortRange) << autoStepping;
        EXPECT_TRUE(f.LabelAll);
        f.AutoSizing = true;
        f.oMin = 2;
        f.oMax = 500;
        ScaleAxis(f, true, lim, 0);
        EXPECT_FALSE(f.ShortRange);
    }
}
