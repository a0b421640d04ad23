// The chart model: initial values, series, points and the setter rules.
#include "ChartTestUtil.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTest>

#include <vector>

namespace {

std::vector<double> Xs(const TSeries& s) {
    std::vector<double> v;
    for (const TxyPoint& p : s.Points())
        v.push_back(p.x);
    return v;
}

} // namespace

TEST(ChartModel, InitialChart) {
    TxyGraph g;
    EXPECT_EQ(g.width(), 200);
    EXPECT_EQ(g.height(), 200);
    EXPECT_EQ(g.Color(), QColor(Qt::white));
    EXPECT_EQ(g.BorderStyle(), bsSingle);
    EXPECT_EQ(g.ChartFont().Name, "Arial");
    EXPECT_EQ(g.ChartFont().Height, -9);
    EXPECT_EQ(g.ChartFont().ToQFont().pixelSize(), 9);
    EXPECT_EQ(g.ChartFont().Color, QColor(Qt::black));
    EXPECT_TRUE(g.Plotting());
    EXPECT_TRUE(g.DragAllowed());
    EXPECT_EQ(g.SeriesCount(), 0);

    EXPECT_EQ(g.XAxis().Title(), "X axis");
    EXPECT_EQ(g.YAxis().Title(), "Y axis");
    EXPECT_EQ(g.YAxis_Second().Title(), "Second Y axis");
    for (const TAxis* a : {&g.XAxis(), &g.YAxis(), &g.YAxis_Second()}) {
        EXPECT_EQ(a->Min(), 0.0);
        EXPECT_EQ(a->Max(), 1.0);
        EXPECT_EQ(a->StepSize(), 0.2);
        EXPECT_EQ(a->LabelDecimals(), 1);
        EXPECT_EQ(a->LogCycleDivisions(), 2);
        EXPECT_FALSE(a->LogScale());
        EXPECT_FALSE(a->AutoSizing());
        EXPECT_FALSE(a->AutoStepping());
        EXPECT_EQ(a->DateTimeFormat(), "dd-mmm");
        EXPECT_EQ(a->DateTickType(), dt_minute);
        EXPECT_EQ(a->Offset(), 0.0);
    }
    EXPECT_TRUE(g.XAxis().AutoLabelDecimals());
    EXPECT_FALSE(g.YAxis_Second().AutoLabelDecimals());
    EXPECT_TRUE(g.YAxis().ShowAxis());
    EXPECT_FALSE(g.YAxis_Second().ShowAxis());
    EXPECT_TRUE(g.YAxis_Second().Reversed());
    EXPECT_EQ(g.YAxis().OffsetType(), ao_Minimum);
    EXPECT_EQ(g.YAxis_Second().OffsetType(), ao_Maximum);
    EXPECT_FALSE(g.YAxis_Second().Gridlines());

    const TDimensions& d = g.Dimensions();
    EXPECT_EQ(d.LeftMargin(), 40);
    EXPECT_EQ(d.RightMargin(), 15);
    EXPECT_EQ(d.TopMargin(), 30);
    EXPECT_EQ(d.BottomMargin(), 40);
    EXPECT_EQ(d.TickLength(), 4);
    EXPECT_EQ(d.GraphTitleOffset(), 7);
    EXPECT_EQ(d.PrintXOffsetPct(), 5);
    EXPECT_EQ(d.PrintYOffsetPct(), 20);
    EXPECT_EQ(d.PrintScalePct(), 90);

    const TAppearance& a = g.Appearance();
    EXPECT_EQ(a.ErrorCaption(), "MAX/MIN VALUES INCONSISTENT");
    EXPECT_EQ(a.GridColor(), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(a.GridStyle(), psDot);
    EXPECT_EQ(a.MinSteps(), 5);
    EXPECT_EQ(a.MaxSteps(), 50);
    EXPECT_EQ(a.CrossColor(), QColor(Qt::red));
    EXPECT_EQ(a.Crosslength(), 4);
    EXPECT_TRUE(a.PrintLineStyle());
    EXPECT_TRUE(a.CrossAtZero());
    EXPECT_FALSE(a.GraphTitle().isEmpty());
    EXPECT_EQ(a.LabelFont(), g.ChartFont());

    const TLegend& l = g.Legend();
    EXPECT_FALSE(l.visible());
    EXPECT_EQ(l.width(), 180);
    EXPECT_EQ(l.height(), 20);
    EXPECT_EQ(l.top(), 10);
    EXPECT_EQ(l.left(), 10);
    EXPECT_EQ(l.borderStyle(), bsNone);
    EXPECT_EQ(l.Layout(), lsAcross);
    EXPECT_EQ(l.SymbolSpace(), 20);
}

TEST(ChartModel, Series2OnAnEmptyChartAndSeries1InsertedBeforeIt) {
    TxyGraph g;
    std::vector<int> created;
    g.OnNewSeries = [&](TxyGraph& sender, int n) {
        EXPECT_EQ(&sender, &g);
        created.push_back(n);
    };
    TSeries& s2 = g.GetSeries(2);
    EXPECT_EQ(s2.Index(), 2);
    EXPECT_EQ(s2.SeriesName(), "Series 2");
    EXPECT_EQ(s2.PointColor(), QColor(0, 0, 255));
    EXPECT_EQ(s2.LineColor(), QColor(0, 0, 255));
    EXPECT_EQ(s2.PointShape(), 1);
    EXPECT_EQ(s2.PointStyle(), 4);
    EXPECT_EQ(s2.LineStyle(), psDash);
    EXPECT_TRUE(s2.FillPoints());
    EXPECT_TRUE(s2.Active());
    EXPECT_TRUE(s2.DrawLine());
    EXPECT_TRUE(s2.DrawPoints());
    EXPECT_TRUE(s2.FirstAxis());
    EXPECT_EQ(s2.ShowInLegend(), 0);

    TSeries& s1 = g.GetSeries(1);
    EXPECT_EQ(&g.GetSeries(2), &s2); // fetched again, not recreated
    const std::vector<TSeries*> list = g.SeriesList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], &s1);
    EXPECT_EQ(list[1], &s2);
    EXPECT_EQ(created, (std::vector<int>{2, 1}));
    EXPECT_EQ(g.HighestSeriesIndex(), 2);
}

TEST(ChartModel, InitialLooksByIndex) {
    TxyGraph g;
    struct Expect {
        int n;
        QColor colour;
        int shape;
        TPenStyle style;
        bool fill;
    };
    const Expect table[] = {
        {1, QColor(0, 128, 0), 0, psSolid, true},       {2, QColor(0, 0, 255), 1, psDash, true},
        {3, QColor(255, 0, 0), 2, psDot, true},         {4, QColor(128, 128, 128), 3, psDashDot, true},
        {5, QColor(128, 0, 0), 0, psDashDotDot, false}, {6, QColor(0, 128, 0), 1, psSolid, false},
    };
    for (const Expect& e : table) {
        TSeries& s = g.GetSeries(e.n);
        EXPECT_EQ(s.PointColor(), e.colour) << e.n;
        EXPECT_EQ(s.PointShape(), e.shape) << e.n;
        EXPECT_EQ(s.LineStyle(), e.style) << e.n;
        EXPECT_EQ(s.FillPoints(), e.fill) << e.n;
    }
}

TEST(ChartModel, DestroyingASeriesUnlinksItAndReportsIt) {
    TxyGraph g;
    g.GetSeries(1).AddPoint(0, 1);
    g.GetSeries(3);
    int deleted = 0;
    g.OnDeleteSeries = [&](TSeries& sender, int n) {
        EXPECT_EQ(sender.Index(), n);
        deleted = n;
    };
    g.DestroySeries(g.GetSeries(1));
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(g.SeriesCount(), 1);
    EXPECT_EQ(g.FindSeries(1), nullptr);
    // Fetched again it comes back with its initial attributes and no points.
    TSeries& again = g.GetSeries(1);
    EXPECT_EQ(again.PointCount(), 0);
    EXPECT_EQ(again.SeriesName(), "Series 1");
    g.DestroySeries(7); // no such series: nothing happens
    EXPECT_EQ(g.SeriesCount(), 2);
}

TEST(ChartModel, EqualXReplacesThePoint) {
    TxyGraph g;
    TSeries& s = g.GetSeries(1);
    s.AddPoint(0, 1);
    s.AddPoint(1, 2);
    s.AddPoint(2, 3);
    s.AddPoint(1, 7); // inside the list
    s.AddPoint(2, 9); // the last point
    ASSERT_EQ(s.PointCount(), 3);
    EXPECT_EQ(s.Points()[1].y, 7);
    EXPECT_EQ(s.Points()[2].y, 9);
    EXPECT_EQ(s.YMax(), 9);
    // Ranges only widen: a replaced extreme still counts, the new value widens them.
    s.AddPoint(2, 0.5);
    EXPECT_EQ(s.YMax(), 9);
    EXPECT_EQ(s.YMin(), 0.5);
    EXPECT_EQ(s.Points()[2].y, 0.5);
}

TEST(ChartModel, DecreasingXGivesASortedList) {
    TxyGraph g;
    TSeries& s = g.GetSeries(1);
    for (double x : {5.0, 4.0, 3.0, 2.0, 1.0})
        s.AddPoint(x, x * x);
    s.AddPoint(3.5, 0);
    EXPECT_EQ(Xs(s), (std::vector<double>{1, 2, 3, 3.5, 4, 5}));
    EXPECT_EQ(s.XMin(), 1);
    EXPECT_EQ(s.XMax(), 5);
    EXPECT_EQ(s.YMin(), 0);
    EXPECT_EQ(s.YMax(), 25);
}

TEST(ChartModel, DuplicatesAndTolerance) {
    TxyGraph g;
    g.Appearance().SetAllowDuplicates(true);
    TSeries& d = g.GetSeries(1);
    EXPECT_TRUE(d.DuplicatesAllowed());
    d.AddPoint(1, 1);
    d.AddPoint(1, 2);
    d.AddPoint(0.5, 0);
    d.AddPoint(1, 3);
    EXPECT_EQ(d.PointCount(), 4);
    EXPECT_EQ(Xs(d), (std::vector<double>{0.5, 1, 1, 1}));

    g.Appearance().SetAllowDuplicates(false);
    EXPECT_FALSE(d.DuplicatesAllowed()); // given to existing series too

    TSeries& t = g.GetSeries(2);
    t.SetNumericalTolerance(0.1);
    t.AddPoint(0, 0);
    t.AddPoint(1, 1);
    t.AddPoint(1.05, 2); // within tolerance of the last: replaced
    EXPECT_EQ(t.PointCount(), 2);
    EXPECT_EQ(t.Points()[1].y, 2);
    t.AddPoint(2, 2);
    t.AddPoint(1.0, 5); // below the last, within tolerance of 1.05: replaced
    EXPECT_EQ(t.PointCount(), 3);
    EXPECT_EQ(t.Points()[1].y, 5);
    t.AddPoint(0.5, 9); // far enough from both neighbours: inserted
    EXPECT_EQ(Xs(t), (std::vector<double>{0, 0.5, 1.0, 2}));
}

TEST(ChartModel, ReplacementWithToleranceKeepsTheOrder) {
    TxyGraph g;
    TSeries& s = g.GetSeries(1);
    for (double x : {0.0, 0.5, 1.0, 3.0})
        s.AddPoint(x, 0);
    // 1.2 replaces x = 0.5 (the first point not more than 1 below it) and so passes x = 1.0.
    s.SetNumericalTolerance(1.0);
    s.AddPoint(1.2, 1);
    EXPECT_EQ(Xs(s), (std::vector<double>{0, 1.0, 1.2, 3}));
    EXPECT_EQ(s.Points()[2].y, 1);
}

TEST(ChartModel, NonFiniteValues) {
    TxyGraph g;
    TSeries& s = g.GetSeries(1);
    s.AddPoint(NAN, 1);
    s.AddPoint(INFINITY, 1);
    EXPECT_EQ(s.PointCount(), 0);
    s.AddPoint(1, 2);
    s.AddPoint(2, NAN);
    s.AddPoint(3, 4);
    EXPECT_EQ(s.PointCount(), 3);
    EXPECT_EQ(s.YMin(), 2);
    EXPECT_EQ(s.YMax(), 4);
    EXPECT_EQ(s.XMax(), 3);
}

TEST(ChartModel, AutoZero) {
    TxyGraph g;
    TSeries& s = g.GetSeries(1);
    s.SetAutoZero(true);
    s.AddPoint(0, 5);
    EXPECT_EQ(s.ZeroValue(), 5);
    s.AddPoint(1, 8);
    EXPECT_EQ(s.YMax(), 3);
    s.AddPoint(2, 2);
    EXPECT_EQ(s.ZeroValue(), 2);
    EXPECT_EQ(s.YMin(), 0);
    EXPECT_EQ(s.YMax(), 6);
}

TEST(ChartModel, TooManyPointsIsReportedAndThePointStays) {
    TxyGraph g;
    g.SetPlotting(false);
    TSeries& s = g.GetSeries(3);
    int reports = 0;
    g.OnTooManyPoints = [&](TxyGraph& sender, int n) {
        EXPECT_EQ(&sender, &g);
        EXPECT_EQ(n, 3);
        ++reports;
    };
    for (int i = 0; i < TDataSeries::kPointLimit; ++i)
        s.AddPoint(i, i);
    EXPECT_EQ(reports, 0);
    s.AddPoint(TDataSeries::kPointLimit, 0);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(s.PointCount(), TDataSeries::kPointLimit + 1);
}

TEST(SetterRules, MinAndMaxClearAutoSizingEvenForAnEqualValue) {
    TxyGraph g;
    g.XAxis().SetAutoSizing(true);
    g.XAxis().SetMin(g.XAxis().Min());
    EXPECT_FALSE(g.XAxis().AutoSizing());
    g.XAxis().SetAutoSizing(true);
    g.XAxis().SetMax(g.XAxis().Max());
    EXPECT_FALSE(g.XAxis().AutoSizing());
    g.YAxis().SetAutoStepping(true);
    g.YAxis().SetStepSize(g.YAxis().StepSize());
    EXPECT_FALSE(g.YAxis().AutoStepping());
}

TEST(SetterRules, StepsBounds) {
    TxyGraph g;
    TAppearance& a = g.Appearance();
    a.SetMaxSteps(100); // above 90
    EXPECT_EQ(a.MaxSteps(), 50);
    a.SetMinSteps(20); // not below 0.4 x 50
    EXPECT_EQ(a.MinSteps(), 5);
    a.SetMinSteps(0);
    EXPECT_EQ(a.MinSteps(), 5);
    a.SetMinSteps(19);
    EXPECT_EQ(a.MinSteps(), 19);
    a.SetMaxSteps(47); // not above 2.5 x 19
    EXPECT_EQ(a.MaxSteps(), 50);
    a.SetMaxSteps(48);
    EXPECT_EQ(a.MaxSteps(), 48);
    a.SetMaxSteps(90);
    EXPECT_EQ(a.MaxSteps(), 90);
}

TEST(SetterRules, PointStyleNormalisation) {
    TxyGraph g;
    TSeries& circle = g.GetSeries(2);
    circle.SetPointStyle(3);
    EXPECT_EQ(circle.PointStyle(), 4);
    circle.SetPointStyle(1);
    EXPECT_EQ(circle.PointStyle(), 2);
    circle.SetPointStyle(0);
    EXPECT_EQ(circle.PointStyle(), 2);
    circle.SetPointStyle(6);
    EXPECT_EQ(circle.PointStyle(), 6);

    TSeries& steps = g.GetSeries(1);
    steps.SetPointShape(4);
    steps.SetPointStyle(3);
    EXPECT_EQ(steps.PointStyle(), 3);
    steps.SetPointStyle(1);
    EXPECT_EQ(steps.PointStyle(), 1);
    // Leaving the steps shape normalises the size it had.
    steps.SetPointShape(0);
    EXPECT_EQ(steps.PointStyle(), 2);
}

TEST(SetterRules, TickLengthZeroSwitchesTicksOff) {
    TxyGraph g;
    g.Dimensions().SetTickLength(6);
    EXPECT_TRUE(g.Appearance().ShowTicks());
    g.Dimensions().SetTickLength(0);
    EXPECT_EQ(g.Dimensions().TickLength(), 0);
    EXPECT_FALSE(g.Appearance().ShowTicks());
}

TEST(SetterRules, PrintScalePctIsClamped) {
    TxyGraph g;
    g.Dimensions().SetPrintScalePct(10);
    EXPECT_EQ(g.Dimensions().PrintScalePct(), 20);
    g.Dimensions().SetPrintScalePct(150);
    EXPECT_EQ(g.Dimensions().PrintScalePct(), 100);
    g.Dimensions().SetPrintScalePct(75);
    EXPECT_EQ(g.Dimensions().PrintScalePct(), 75);
}

TEST(SetterRules, LogCycleDivisionsRebuildsTheTable) {
    TxyGraph g;
    g.XAxis().SetLogCycleDivisions(5);
    EXPECT_EQ(g.XAxis().Scaling().LogTable, (std::vector<double>{1, 1.5, 2, 3, 5, 7, 10}));
    g.XAxis().SetLogCycleDivisions(30);
    EXPECT_EQ(g.XAxis().LogCycleDivisions(), 9);
}

// The main window's sequence: each setter repaints, so the axis is fitted once by
// AutoSizing := true and then Min is pinned at 0 while Max keeps the fitted value.
TEST(SetterRules, AutoSizingThenMinFitsOnceAndPins) {
    TxyGraph g;
    g.resize(369, 121);
    TSeries& s = g.GetSeries(1);
    for (int k = 0; k <= 23; ++k)
        s.AddPoint(k * 0.1, 0.5 + k * 0.1);
    EXPECT_EQ(g.XAxis().Max(), 1.0); // nothing fitted yet
    g.XAxis().SetAutoSizing(true);
    EXPECT_NEAR(g.XAxis().Min(), -0.2, 1e-12);
    EXPECT_NEAR(g.XAxis().Max(), 2.4, 1e-12);
    g.XAxis().SetAutoStepping(true);
    g.XAxis().SetMin(0);
    EXPECT_FALSE(g.XAxis().AutoSizing());
    EXPECT_TRUE(g.XAxis().AutoStepping());
    EXPECT_EQ(g.XAxis().Min(), 0.0);
    EXPECT_NEAR(g.XAxis().Max(), 2.4, 1e-12);
    // New points no longer move the pinned axis, while the step follows the range.
    s.AddPoint(5, 1);
    EXPECT_NEAR(g.XAxis().Max(), 2.4, 1e-12);
    EXPECT_DOUBLE_EQ(g.XAxis().StepSize(), GetStep(5, 0, 2.4));
}

TEST(SetterRules, WithPlottingOffNothingIsScaledOrDrawn) {
    TxyGraph g;
    int paints = 0;
    g.OnPaintStart = [&](TxyGraph&, QPainter&) { ++paints; };
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    g.SetPlotting(false);
    QCoreApplication::processEvents();
    EXPECT_GE(paints, 1); // Plotting := false itself repaints, without the series
    paints = 0;

    g.GetSeries(1).AddPoint(0, 0);
    g.GetSeries(1).AddPoint(10, 5);
    g.XAxis().SetAutoSizing(true);
    g.YAxis().SetAutoSizing(true);
    g.Appearance().SetGraphTitle("Quiet");
    g.Dimensions().SetLeftMargin(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(paints, 0);
    EXPECT_EQ(g.XAxis().Max(), 1.0); // not fitted while not plotting

    g.SetPlotting(true);
    EXPECT_GE(g.XAxis().Max(), 10.0);
    EXPECT_GE(g.YAxis().Max(), 5.0);
    QCoreApplication::processEvents();
    EXPECT_GE(paints, 1);
}

TEST(SetterRules, OnRescaleWhenMinChangesWhilePlotting) {
    TxyGraph g;
    int rescales = 0;
    g.OnRescale = [&](TxyGraph&) { ++rescales; };
    g.XAxis().SetMin(-1);
    EXPECT_EQ(rescales, 1);
    g.XAxis().SetMin(-1); // same value
    EXPECT_EQ(rescales, 1);
    g.SetPlotting(false);
    g.XAxis().SetMin(-2);
    EXPECT_EQ(rescales, 1);
    g.SetPlotting(true);
    EXPECT_EQ(rescales, 2);
}

TEST(Clipboard, FormatIsRegisteredOnce) {
    const int id = RegisterxyGraphClipboardFormat();
    EXPECT_EQ(RegisterxyGraphClipboardFormat(), id);
    EXPECT_TRUE(IsClipboardFormatRegistered("Internal xyGraph Format"));
    EXPECT_STREQ(kxyGraphClipboardFormat, "Internal xyGraph Format");
}

TEST(Colours, BGRConversion) {
    EXPECT_EQ(ColorFromBGR(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorFromBGR(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ColorToBGR(QColor(0, 128, 0)), 0x008000u);
}

// After the first point the ranges only widen, replacements included; a new zero under AutoZero
// takes the y range again from the points, leaving the x range as it is.
TEST(ChartModel, LaterPointsOnlyWidenTheRanges) {
    TxyGraph g;
    TSeries& one = g.GetSeries(1);
    one.AddPoint(1, 5);
    one.AddPoint(1, 7); // replaces the only point
    EXPECT_EQ(one.PointCount(), 1);
    EXPECT_EQ(one.YMin(), 5);
    EXPECT_EQ(one.YMax(), 7);

    TSeries& t = g.GetSeries(2);
    t.SetNumericalTolerance(0.1);
    t.AddPoint(0, 0);
    t.AddPoint(1, 1);
    t.AddPoint(1.05, 2); // replaces x = 1
    t.AddPoint(0.97, 3); // replaces x = 1.05
    EXPECT_EQ(Xs(t), (std::vector<double>{0, 0.97}));
    EXPECT_EQ(t.XMax(), 1.05);
    EXPECT_EQ(t.YMin(), 0);
    EXPECT_EQ(t.YMax(), 3);

    TSeries& z = g.GetSeries(3);
    z.SetAutoZero(true);
    z.AddPoint(0, 4);
    z.AddPoint(1, 10);
    z.AddPoint(1, 6);       // replaced: 10 still counts
    EXPECT_EQ(z.YMax(), 6); // relative to the zero at 4
    z.AddPoint(2, 1);       // a new zero: the y range is taken again from 4 - 1, 6 - 1, 1 - 1
    EXPECT_EQ(z.ZeroValue(), 1);
    EXPECT_EQ(z.YMin(), 0);
    EXPECT_EQ(z.YMax(), 5);
    EXPECT_EQ(z.XMin(), 0);
    EXPECT_EQ(z.XMax(), 2);

    // An autosized axis does not shrink when its extreme point is replaced.
    g.resize(369, 121);
    g.YAxis().SetAutoSizing(true);
    const double yMax = g.YAxis().Max();
    g.GetSeries(1).AddPoint(1, 0.5);
    EXPECT_EQ(g.YAxis().Max(), yMax);
}
