// Reference pictures: a broad set of charts (linear, logarithmic and date axes, both orientations,
// reversed axes, grids, legends, titles, markers, zoom, the main window's four charts, printed
// pages, error captions, several sizes) drawn and compared pixel for pixel with the pictures in
// tests/chart/golden/. A change of the drawing code that is meant to leave the pictures alone
// must pass this test unchanged. When a drawing change is intended, run the test with
// TARVELLO_WRITE_GOLDEN=1 to write the new pictures, and look at every one before committing.
#include "ChartTestUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QPainter>
#include <QTest>

#include <cfloat>
#include <map>
#include <memory>
#include <string>

namespace {

// --- data --------------------------------------------------------------------------------------

// Curves shaped like the main window's: current and torque against time (DOL and soft-starter)
// and against n/ns.
struct Curve {
    double x, dol, ss;
};

std::vector<Curve> CurrentAgainstTime() {
    std::vector<Curve> c;
    for (int k = 0; k < 100; ++k) {
        const double t = 1.5 * k / 99.0;
        const double dol = 1.0 + 6.2 * std::exp(-t / 0.35);
        const double ss = std::min(2.99, 0.9 + 4.0 * t) * (t < 1.2 ? 1.0 : 1.0 - 0.7 * (t - 1.2));
        c.push_back({t, dol, ss});
    }
    return c;
}

std::vector<Curve> TorqueAgainstTime() {
    std::vector<Curve> c;
    for (int k = 0; k < 100; ++k) {
        const double t = 1.5 * k / 99.0;
        c.push_back({t, 2.4 * std::exp(-t / 0.6) * (1.0 + 0.25 * std::sin(25 * t)) + 0.3,
                     1.6 * (1.0 - std::exp(-3.0 * t)) * std::exp(-t / 2.0)});
    }
    return c;
}

std::vector<Curve> CurrentAgainstSpeed() {
    std::vector<Curve> c;
    for (int k = 0; k < 100; ++k) {
        const double s = 1.0 - std::exp(-0.075 * k);
        c.push_back({s, 6.8 - 5.4 * std::pow(s, 6.0), 0.44 * (6.8 - 5.4 * std::pow(s, 6.0))});
    }
    return c;
}

std::vector<Curve> TorqueAgainstSpeed() {
    std::vector<Curve> c;
    for (int k = 0; k < 100; ++k) {
        const double s = 1.0 - std::exp(-0.075 * k);
        const double slip = std::max(1e-3, 1.0 - s);
        const double t = 2.0 * 2.6 * 0.18 * slip / (slip * slip + 0.18 * 0.18);
        c.push_back({s, t, 0.19 * t});
    }
    return c;
}

// --- the main window's charts ------------------------------------------------------------------

enum class Kind { CurrentTime, TorqueTime, CurrentSpeed, TorqueSpeed };

// As the main window sets up, fills and styles each chart after a computation.
void MainWindowChart(TxyGraph& chart, Kind kind, bool french = false) {
    const bool speed = kind == Kind::CurrentSpeed || kind == Kind::TorqueSpeed;
    const bool current = kind == Kind::CurrentTime || kind == Kind::CurrentSpeed;
    chart.resize(369, 121);
    TAppearance& a = chart.Appearance();
    a.SetGraphTitle(current ? (french ? "Courant" : "Current") : (french ? "Couple" : "Torque"));
    chart.XAxis().SetTitle(speed ? "n/ns" : "t [s]");
    chart.YAxis().SetTitle(speed ? (current ? "I/In" : "T/Tn") : (current ? "Id/In" : "Td/Tn"));
    chart.XAxis().SetStepSize(0.2);
    chart.YAxis().SetStepSize(kind == Kind::CurrentSpeed ? 0.1 : 0.2);
    chart.XAxis().SetAutoSizing(kind == Kind::CurrentTime);
    chart.XAxis().SetAutoStepping(kind == Kind::CurrentTime);
    a.SetPrintBkgndColor(!speed);
    a.SetTitleFont(TFont::Arial(speed ? -11 : -9));
    a.SetCaptionFont(TFont::Arial(-16, true));
    a.SetLabelFont(TFont::Arial(-7));
    a.SetCrossColor(Qt::black);
    a.SetBackgroundColor(Qt::white);
    a.SetMarginColor(Qt::white);
    chart.Legend().setVisible(kind == Kind::CurrentSpeed);
    chart.Legend().setFont(TFont::Arial(-9));

    const std::vector<Curve> data = kind == Kind::CurrentTime    ? CurrentAgainstTime()
                                    : kind == Kind::TorqueTime   ? TorqueAgainstTime()
                                    : kind == Kind::CurrentSpeed ? CurrentAgainstSpeed()
                                                                 : TorqueAgainstSpeed();
    chart.SetPlotting(false);
    chart.DestroySeries(chart.GetSeries(1));
    chart.DestroySeries(chart.GetSeries(2));
    for (const Curve& c : data) {
        chart.GetSeries(1).AddPoint(c.x, c.dol);
        chart.GetSeries(2).AddPoint(c.x, c.ss);
    }
    chart.SetPlotting(true);

    a.SetPrintLineStyle(true);
    for (TAxis* axis : {&chart.XAxis(), &chart.YAxis()}) {
        axis->SetAutoSizing(true);
        axis->SetAutoStepping(true);
        axis->SetMin(0);
    }
    TSeries& dol = chart.GetSeries(1);
    dol.SetLineColor(ColorFromBGR(0xFF0000));
    dol.SetDrawPoints(false);
    dol.SetLineStyle(psSolid);
    TSeries& soft = chart.GetSeries(2);
    soft.SetLineColor(ColorFromBGR(0x0000FF));
    soft.SetPointColor(ColorFromBGR(0x0000FF));
    soft.SetDrawPoints(true);
    soft.SetLineStyle(psSolid);
    soft.SetPointStyle(2);
}

// --- general charts ----------------------------------------------------------------------------

// Two autosized series with markers over x in [x0, x1].
void TwoSeries(TxyGraph& g, QSize size, double x0 = 0.0, double x1 = 10.0) {
    g.resize(size);
    g.Appearance().SetGraphTitle("Two series");
    g.XAxis().SetTitle("x");
    g.YAxis().SetTitle("y");
    g.SetPlotting(false);
    for (int k = 0; k <= 40; ++k) {
        const double x = x0 + (x1 - x0) * k / 40.0;
        g.GetSeries(1).AddPoint(x, 3.0 + 2.0 * std::sin(x));
        g.GetSeries(2).AddPoint(x, 0.5 * x - 1.0);
    }
    g.SetPlotting(true);
    g.XAxis().SetAutoSizing(true);
    g.YAxis().SetAutoSizing(true);
}

// Series n with y = f(x) at `count` points from x0 to x1.
void Fill(TxyGraph& g, int n, double x0, double x1, int count, const std::function<double(double)>& f) {
    TSeries& s = g.GetSeries(n);
    for (int k = 0; k < count; ++k) {
        const double x = x0 + (x1 - x0) * k / (count - 1.0);
        s.AddPoint(x, f(x));
    }
}

QImage Print(TxyGraph& g, QSize page, int dpi) {
    TImagePrintService service(page, dpi);
    EXPECT_TRUE(g.Print(service));
    return service.Page();
}

// A chart shown on the (offscreen) screen, for the mouse and the cached picture.
struct Shown {
    TxyGraph g;
    explicit Shown(Kind kind) {
        MainWindowChart(g, kind);
        g.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&g));
        QCoreApplication::processEvents();
    }
    QPoint W(int x, int y) const { return QPoint(x + g.BorderWidth(), y + g.BorderWidth()); }
    void ShiftMove(QPoint c) {
        QTest::mouseEvent(QTest::MouseMove, &g, Qt::NoButton, Qt::ShiftModifier, W(c.x(), c.y()));
    }
    void ShiftDrag(QPoint from, QPoint to) {
        QTest::mousePress(&g, Qt::LeftButton, Qt::ShiftModifier, W(from.x(), from.y()));
        ShiftMove((from + to) / 2);
        ShiftMove(to);
        QTest::mouseRelease(&g, Qt::LeftButton, Qt::ShiftModifier, W(to.x(), to.y()));
        QCoreApplication::processEvents();
    }
    QImage Grab() { return g.grab().toImage(); }
};

using Scene = std::function<QImage()>;

std::map<std::string, Scene> Scenes() {
    std::map<std::string, Scene> s;

    // The main window.
    const std::pair<const char*, Kind> kinds[] = {{"current-time", Kind::CurrentTime},
                                                  {"torque-time", Kind::TorqueTime},
                                                  {"current-speed", Kind::CurrentSpeed},
                                                  {"torque-speed", Kind::TorqueSpeed}};
    for (const auto& [name, kind] : kinds) {
        const Kind k = kind;
        s[std::string("main-") + name] = [k] {
            TxyGraph g;
            MainWindowChart(g, k);
            return g.RenderImage();
        };
        s[std::string("print-main-") + name] = [k] {
            TxyGraph g;
            MainWindowChart(g, k);
            return Print(g, QSize(827, 1169), 100);
        };
    }
    s["main-window-four-charts"] = [] {
        QWidget window;
        window.resize(385, 490);
        TxyGraph* charts[4];
        const Kind order[] = {Kind::CurrentTime, Kind::TorqueTime, Kind::CurrentSpeed, Kind::TorqueSpeed};
        for (int i = 0; i < 4; ++i) {
            charts[i] = new TxyGraph(&window);
            MainWindowChart(*charts[i], order[i]);
            charts[i]->move(8, 120 * i);
        }
        return TxyGraph::RenderCharts({charts[0], charts[1], charts[2], charts[3]});
    };
    s["main-current-time-french"] = [] {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        TxyGraph g;
        MainWindowChart(g, Kind::CurrentTime, true);
        QImage img = g.RenderImage();
        QLocale::setDefault(before);
        return img;
    };
    s["main-torque-time-landscape-page"] = [] {
        TxyGraph g;
        MainWindowChart(g, Kind::TorqueTime);
        return Print(g, QSize(1169, 827), 100);
    };

    // Linear axes at several sizes, and their settings.
    for (QSize size : {QSize(120, 90), QSize(200, 150), QSize(369, 121), QSize(500, 350), QSize(800, 500)}) {
        s["linear-" + std::to_string(size.width()) + "x" + std::to_string(size.height())] = [size] {
            TxyGraph g;
            TwoSeries(g, size);
            return g.RenderImage();
        };
    }
    s["default-empty"] = [] {
        TxyGraph g;
        return g.RenderImage();
    };
    s["linear-negative-autostepped"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200), -7.3, 2.1);
        g.XAxis().SetAutoStepping(true);
        g.YAxis().SetAutoStepping(true);
        return g.RenderImage();
    };
    s["linear-fixed-steps-decimals"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200));
        g.XAxis().SetMin(-1);
        g.XAxis().SetMax(11);
        g.XAxis().SetStepSize(1.5);
        g.YAxis().SetAutoLabelDecimals(false);
        g.YAxis().SetLabelDecimals(3);
        g.YAxis().SetStepSize(0.75);
        return g.RenderImage();
    };
    s["linear-crowded-labels"] = [] {
        TxyGraph g;
        g.resize(250, 150);
        g.Appearance().SetLabelFont(TFont::Arial(-14));
        g.XAxis().SetMin(0);
        g.XAxis().SetMax(5000);
        g.XAxis().SetStepSize(500);
        return g.RenderImage();
    };
    s["linear-exponent-labels"] = [] {
        TxyGraph g;
        g.resize(400, 220);
        g.XAxis().SetMin(0);
        g.XAxis().SetMax(50000);
        g.XAxis().SetStepSize(10000);
        g.YAxis().SetMin(0);
        g.YAxis().SetMax(0.002);
        g.YAxis().SetStepSize(0.0005);
        Fill(g, 2, 0, 50000, 30, [](double x) { return 0.002 * x / 50000; });
        return g.RenderImage();
    };
    s["markers-all-shapes"] = [] {
        TxyGraph g;
        g.resize(400, 300);
        for (int n = 1; n <= 6; ++n) {
            TSeries& ser = g.GetSeries(n);
            ser.SetPointShape(n - 1);
            ser.SetPointStyle(n == 5 ? 3 : 8);
            ser.SetBarWidth(0.15);
            ser.SetBarOffset(-0.075);
            Fill(g, n, 0.5, 9.5, 10, [n](double x) { return n + 0.3 * std::sin(x); });
        }
        g.XAxis().SetMin(0);
        g.XAxis().SetMax(10);
        g.YAxis().SetMin(0);
        g.YAxis().SetMax(7);
        return g.RenderImage();
    };
    s["markers-highlighted-unfilled-clearance"] = [] {
        TxyGraph g;
        g.resize(400, 250);
        for (int n = 5; n <= 8; ++n) {
            TSeries& ser = g.GetSeries(n);
            ser.SetPointShape(n - 5);
            ser.SetPointStyle(6);
            ser.SetHighlighted(n % 2 == 0);
            Fill(g, n, 0, 10, 60, [n](double x) { return n - 4 + 0.4 * std::cos(x); });
        }
        g.Appearance().SetMinPointClearance(1.5);
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    s["line-styles-highlighted"] = [] {
        TxyGraph g;
        g.resize(400, 250);
        for (int n = 1; n <= 5; ++n) {
            g.GetSeries(n).SetDrawPoints(false);
            g.GetSeries(n).SetHighlighted(n == 3);
            Fill(g, n, 0, 10, 50, [n](double x) { return n + std::sin(x + n); });
        }
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    s["non-finite-values-break-lines"] = [] {
        TxyGraph g;
        g.resize(300, 200);
        TSeries& ser = g.GetSeries(2);
        for (int k = 0; k <= 20; ++k)
            ser.AddPoint(k, k % 7 == 3 ? NAN : (k % 9 == 5 ? INFINITY : std::sqrt(k)));
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    s["second-axis-autozero"] = [] {
        TxyGraph g;
        g.resize(420, 260);
        Fill(g, 1, 0, 10, 30, [](double x) { return 10 + x; });
        TSeries& second = g.GetSeries(2);
        second.SetFirstAxis(false);
        Fill(g, 2, 0, 10, 30, [](double x) { return 200 - 15 * x; });
        TSeries& zeroed = g.GetSeries(3);
        zeroed.SetAutoZero(true);
        Fill(g, 3, 0, 10, 30, [](double x) { return 40 + 3 * std::sin(x); });
        g.YAxis_Second().SetShowAxis(true);
        g.YAxis_Second().SetGridlines(true);
        g.Dimensions().SetRightMargin(50);
        for (TAxis* a : {&g.XAxis(), &g.YAxis(), &g.YAxis_Second()})
            a->SetAutoSizing(true);
        return g.RenderImage();
    };
    s["plot-off-graph"] = [] {
        TxyGraph g;
        g.resize(369, 200);
        Fill(g, 2, -3, 13, 40, [](double x) { return 0.1 * x * x - 1; });
        g.XAxis().SetMin(0);
        g.XAxis().SetMax(10);
        g.YAxis().SetMin(0);
        g.YAxis().SetMax(6);
        g.Appearance().SetPlotOffGraph(true);
        return g.RenderImage();
    };
    s["cross-at-the-centre"] = [] {
        TxyGraph g;
        g.resize(300, 220);
        g.XAxis().SetMin(-5);
        g.XAxis().SetMax(5);
        g.YAxis().SetMin(-3);
        g.YAxis().SetMax(3);
        g.Appearance().SetCrosslength(6);
        Fill(g, 4, -5, 5, 21, [](double x) { return 0.1 * x * x * x / 4; });
        return g.RenderImage();
    };
    s["not-plotting"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200));
        g.SetPlotting(false);
        return g.RenderImage();
    };
    s["no-grid-ticks-labels"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200));
        g.XAxis().SetGridlines(false);
        g.YAxis().SetGridlines(false);
        g.Appearance().SetShowTicks(false);
        g.Appearance().SetShowGraphLabels(false);
        return g.RenderImage();
    };
    s["colours-and-grid-style"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200));
        g.Appearance().SetGridColor(Qt::blue);
        g.Appearance().SetGridStyle(psDash);
        g.Appearance().SetAxesColor(QColor(128, 0, 0));
        g.Appearance().SetBackgroundColor(QColor(255, 255, 224));
        g.Appearance().SetMarginColor(QColor(224, 224, 224));
        g.SetColor(QColor(200, 220, 255));
        return g.RenderImage();
    };
    s["axis-offsets-percentage-absolute"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(400, 260), -5, 5);
        g.XAxis().SetOffsetType(ao_percentage);
        g.XAxis().SetOffset(50);
        g.YAxis().SetOffsetType(ao_absolute);
        g.YAxis().SetOffset(0);
        return g.RenderImage();
    };
    s["axis-offsets-maximum"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(400, 260));
        g.XAxis().SetOffsetType(ao_Maximum);
        g.YAxis().SetOffsetType(ao_Maximum);
        return g.RenderImage();
    };
    s["reversed-axes"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(400, 260));
        g.XAxis().SetReversed(true);
        g.YAxis().SetReversed(true);
        g.Dimensions().SetLeftMargin(20);
        g.Dimensions().SetTopMargin(45);
        g.Dimensions().SetRightMargin(50);
        return g.RenderImage();
    };
    s["margins-and-offsets"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(400, 260));
        g.Dimensions().SetLeftMargin(70);
        g.Dimensions().SetRightMargin(30);
        g.Dimensions().SetTopMargin(50);
        g.Dimensions().SetBottomMargin(60);
        g.Dimensions().SetTickLength(8);
        g.Dimensions().SetXAxisLabelOffset(5);
        g.Dimensions().SetYAxisLabelOffset(6);
        g.Dimensions().SetXAxisTitleOffset(9);
        g.Dimensions().SetYAxisTitleOffset(3);
        g.Dimensions().SetGraphTitleOffset(12);
        return g.RenderImage();
    };
    s["titles-and-fonts"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(420, 280));
        g.Appearance().SetGraphTitle("A longer chart title, with commas");
        TFont caption = TFont::Arial(-14, false, QColor(0, 0, 128));
        caption.Italic = true;
        g.Appearance().SetCaptionFont(caption);
        g.Appearance().SetTitleFont(TFont::Arial(-12, true, Qt::red));
        g.Appearance().SetLabelFont(TFont::Arial(-8, false, Qt::blue));
        g.XAxis().SetTitle("Time [s]");
        g.YAxis().SetTitle("Current [A]");
        return g.RenderImage();
    };
    s["y-axis-hidden-border-none"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200));
        g.YAxis().SetShowAxis(false);
        g.SetBorderStyle(bsNone);
        return g.RenderImage();
    };

    // Logarithmic axes.
    s["log-x-decades"] = [] {
        TxyGraph g;
        g.resize(420, 240);
        g.XAxis().SetLogScale(true);
        for (int k = 0; k < 40; ++k)
            g.GetSeries(2).AddPoint(1.7 * std::pow(10.0, 1 + 3 * k / 39.0), 1 + 3 * k / 39.0);
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    for (int d : {0, 1, 2, 5, 7, 9}) {
        s["log-y-divisions-" + std::to_string(d)] = [d] {
            TxyGraph g;
            g.resize(300, 320);
            g.YAxis().SetLogScale(true);
            g.YAxis().SetLogCycleDivisions(d);
            g.YAxis().SetMin(1);
            g.YAxis().SetMax(1000);
            Fill(g, 3, 0, 1, 30, [](double x) { return std::pow(10.0, 3 * x); });
            return g.RenderImage();
        };
    }
    s["log-both-autostepped"] = [] {
        TxyGraph g;
        g.resize(420, 300);
        g.XAxis().SetLogScale(true);
        g.YAxis().SetLogScale(true);
        Fill(g, 1, 2, 500, 60, [](double x) { return 0.03 * x * x; });
        for (TAxis* a : {&g.XAxis(), &g.YAxis()}) {
            a->SetAutoSizing(true);
            a->SetAutoStepping(true);
        }
        return g.RenderImage();
    };
    s["log-short-range-fit"] = [] {
        TxyGraph g;
        g.resize(369, 200);
        g.YAxis().SetLogScale(true);
        Fill(g, 2, 0, 10, 30, [](double x) { return 10 + 2.9 * x; });
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    s["log-small-values"] = [] {
        TxyGraph g;
        g.resize(369, 240);
        g.YAxis().SetLogScale(true);
        g.YAxis().SetMin(1e-6);
        g.YAxis().SetMax(1e-2);
        Fill(g, 2, 0, 1, 30, [](double x) { return 1e-6 * std::pow(1e4, x); });
        return g.RenderImage();
    };
    s["log-down-to-the-smallest-double"] = [] {
        TxyGraph g;
        g.resize(300, 400);
        g.YAxis().SetLogScale(true);
        g.YAxis().SetLogCycleDivisions(0);
        g.YAxis().SetMin(5e-324);
        g.YAxis().SetMax(1);
        return g.RenderImage();
    };
    s["log-series-with-non-positive-values"] = [] {
        TxyGraph g;
        g.resize(300, 200);
        g.YAxis().SetLogScale(true);
        g.YAxis().SetMin(1);
        g.YAxis().SetMax(100);
        Fill(g, 2, 0, 1, 10, [](double x) { return 50 * x; });
        Fill(g, 3, 0, 1, 10, [](double x) { return 2 + 50 * x; });
        return g.RenderImage();
    };

    // Date axes (day numbers: 45000 is 15 Mar 2023).
    s["date-daily"] = [] {
        TxyGraph g;
        g.resize(420, 200);
        g.XAxis().SetShowAsTime(true);
        g.XAxis().SetDateTickType(dt_daily);
        Fill(g, 2, 45000.3, 45008.6, 40, [](double x) { return std::sin(x); });
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    s["date-hourly"] = [] {
        TxyGraph g;
        g.resize(420, 200);
        g.XAxis().SetShowAsTime(true);
        g.XAxis().SetDateTickType(dt_hourly);
        g.XAxis().SetDateTimeFormat("hh:nn");
        g.XAxis().SetMin(45000.25);
        g.XAxis().SetMax(45000.5);
        Fill(g, 2, 45000.25, 45000.5, 30, [](double x) { return std::cos(100 * x); });
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    s["date-monthly"] = [] {
        TxyGraph g;
        g.resize(500, 200);
        g.XAxis().SetShowAsTime(true);
        g.XAxis().SetDateTickType(dt_monthly);
        g.XAxis().SetDateTimeFormat("mmm yy");
        Fill(g, 1, 44940, 45300, 40, [](double x) { return std::sin(x / 30); });
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    s["date-minutes-coarsened"] = [] {
        TxyGraph g;
        g.resize(420, 200);
        g.XAxis().SetShowAsTime(true);
        g.XAxis().SetDateTickType(dt_minute);
        Fill(g, 2, 45000.1, 45010.9, 40, [](double x) { return x - 45000; });
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    s["date-y-axis"] = [] {
        TxyGraph g;
        g.resize(300, 360);
        g.Dimensions().SetLeftMargin(70);
        g.YAxis().SetShowAsTime(true);
        g.YAxis().SetDateTickType(dt_weekly);
        g.YAxis().SetDateTimeFormat("dd/mm/yy");
        Fill(g, 2, 0, 10, 20, [](double x) { return 45000 + 5 * x; });
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    s["date-beyond-the-calendar"] = [] {
        TxyGraph g;
        g.resize(420, 200);
        g.XAxis().SetShowAsTime(true);
        g.XAxis().SetMin(1);
        g.XAxis().SetMax(1e300);
        return g.RenderImage();
    };

    // Legends.
    s["legend-across-every-entry-kind"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(420, 260));
        Fill(g, 3, 0, 10, 10, [](double x) { return 2 + 0.1 * x; });
        Fill(g, 4, 0, 10, 10, [](double x) { return 5 - 0.1 * x; });
        for (int n = 1; n <= 4; ++n)
            g.GetSeries(n).SetShowInLegend(n);
        g.Legend().setVisible(true);
        g.Legend().setBorderStyle(bsSingle);
        g.Legend().setWidth(400);
        g.Legend().setTop(4);
        return g.RenderImage();
    };
    s["legend-down-coloured"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(420, 260));
        g.GetSeries(1).SetShowInLegend(4);
        g.GetSeries(2).SetShowInLegend(3);
        g.GetSeries(1).SetSeriesName("DOL");
        g.GetSeries(2).SetSeriesName("With Soft-Starter");
        g.Legend().setVisible(true);
        g.Legend().SetLayout(lsDown);
        g.Legend().setColor(QColor(255, 255, 200));
        g.Legend().setLeft(250);
        g.Legend().setTop(40);
        g.Legend().setWidth(150);
        g.Legend().setHeight(50);
        g.Legend().setFont(TFont::Arial(-11, true));
        return g.RenderImage();
    };

    // Mouse: zoom, restore, overlays, a point drawn over the cached picture.
    s["zoom-shift-drag"] = [] {
        Shown w(Kind::CurrentTime);
        w.ShiftDrag(QPoint(100, 40), QPoint(220, 75));
        return w.g.RenderImage();
    };
    s["zoom-twice-then-restored"] = [] {
        Shown w(Kind::TorqueSpeed);
        w.ShiftDrag(QPoint(100, 40), QPoint(300, 75));
        w.ShiftDrag(QPoint(60, 35), QPoint(200, 70));
        QImage zoomed = w.g.RenderImage();
        w.ShiftDrag(QPoint(150, 50), QPoint(151, 51));
        QImage restored = w.g.RenderImage();
        QImage both(zoomed.width(), zoomed.height() * 2, QImage::Format_RGB32);
        QPainter p(&both);
        p.drawImage(0, 0, zoomed);
        p.drawImage(0, zoomed.height(), restored);
        p.end();
        return both;
    };
    s["overlay-rubber-band"] = [] {
        Shown w(Kind::CurrentTime);
        QTest::mousePress(&w.g, Qt::LeftButton, Qt::ShiftModifier, w.W(90, 35));
        w.ShiftMove(QPoint(200, 60));
        w.ShiftMove(QPoint(260, 78));
        QImage img = w.Grab();
        QTest::mouseRelease(&w.g, Qt::LeftButton, Qt::ShiftModifier, w.W(92, 36));
        return img;
    };
    s["overlay-cross-wire"] = [] {
        Shown w(Kind::CurrentSpeed);
        w.g.Appearance().SetCrossWire(true);
        QCoreApplication::processEvents();
        QTest::mouseMove(&w.g, w.W(170, 55));
        return w.Grab();
    };
    s["prevent-flicker-partial-draw"] = [] {
        Shown w(Kind::CurrentTime);
        w.g.Appearance().SetPreventFlicker(true);
        QCoreApplication::processEvents();
        w.g.GetSeries(3).AddPoint(0.5, 2.5);
        w.g.GetSeries(3).AddPoint(0.9, 3.5);
        QCoreApplication::processEvents();
        return w.Grab();
    };

    // Inconsistent ranges.
    s["error-x-min-equals-max"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200));
        g.XAxis().SetMin(4);
        g.XAxis().SetMax(4);
        return g.RenderImage();
    };
    s["error-y-min-equals-max-main-window"] = [] {
        TxyGraph g;
        MainWindowChart(g, Kind::CurrentTime);
        g.resize(369, 300);
        g.YAxis().SetMin(3);
        g.YAxis().SetMax(3);
        return g.RenderImage();
    };
    s["error-log-min-zero"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 260));
        g.YAxis().SetLogScale(true);
        g.YAxis().SetMin(0);
        g.YAxis().SetMax(10);
        return g.RenderImage();
    };
    s["error-date-before-day-one"] = [] {
        TxyGraph g;
        g.resize(369, 200);
        g.XAxis().SetShowAsTime(true);
        g.XAxis().SetMin(0.5);
        g.XAxis().SetMax(3);
        return g.RenderImage();
    };
    s["error-equal-negative-without-data"] = [] {
        TxyGraph g;
        g.resize(369, 300);
        g.YAxis().SetMin(-4);
        g.YAxis().SetMax(-4);
        g.YAxis().SetAutoSizing(true);
        return g.RenderImage();
    };
    s["error-beyond-the-doubles-custom-caption"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 300));
        g.Appearance().SetErrorCaption("RANGE?");
        g.YAxis().SetReversed(true);
        g.YAxis().SetMin(-1e308);
        g.YAxis().SetMax(1e308);
        return g.RenderImage();
    };

    // Printed pages.
    s["print-legend-log-axis"] = [] {
        TxyGraph g;
        g.resize(420, 260);
        g.YAxis().SetLogScale(true);
        Fill(g, 1, 0, 10, 30, [](double x) { return std::exp(x / 2); });
        Fill(g, 2, 0, 10, 30, [](double x) { return 1 + x * x; });
        g.GetSeries(1).SetShowInLegend(4);
        g.GetSeries(2).SetShowInLegend(2);
        g.Legend().setVisible(true);
        g.Legend().setBorderStyle(bsSingle);
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        g.Appearance().SetPrintBkgndColor(true);
        g.Appearance().SetMarginColor(QColor(230, 230, 230));
        return Print(g, QSize(827, 1169), 100);
    };
    s["print-thick-pens-highlighted"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200));
        g.Appearance().SetPrintLineStyle(false);
        g.GetSeries(2).SetHighlighted(true);
        g.GetSeries(2).SetPointStyle(6);
        g.GetSeries(1).SetPointShape(3);
        return Print(g, QSize(827, 1169), 100);
    };
    s["print-error-caption"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200));
        g.YAxis().SetMin(2);
        g.YAxis().SetMax(2);
        return Print(g, QSize(827, 1169), 100);
    };
    s["print-date-axis-reversed"] = [] {
        TxyGraph g;
        g.resize(420, 200);
        g.XAxis().SetShowAsTime(true);
        g.XAxis().SetDateTickType(dt_daily);
        g.XAxis().SetReversed(true);
        Fill(g, 2, 45000.3, 45008.6, 40, [](double x) { return std::sin(x); });
        g.XAxis().SetAutoSizing(true);
        g.YAxis().SetAutoSizing(true);
        return Print(g, QSize(1169, 827), 100);
    };
    s["print-scale-and-offsets-corrected"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200));
        g.Dimensions().SetPrintScalePct(60);
        g.Dimensions().SetPrintXOffsetPct(30);
        g.Dimensions().SetPrintYOffsetPct(70);
        g.Appearance().SetPrintBkgndColor(true);
        return Print(g, QSize(827, 1169), 100);
    };
    s["print-low-resolution"] = [] {
        TxyGraph g;
        MainWindowChart(g, Kind::CurrentSpeed);
        return Print(g, QSize(595, 842), 72);
    };
    s["print-not-plotting"] = [] {
        TxyGraph g;
        TwoSeries(g, QSize(369, 200));
        g.SetPlotting(false);
        return Print(g, QSize(827, 1169), 100);
    };
    return s;
}

QString GoldenFile(const std::string& name) {
    return QDir(QStringLiteral(TARVELLO_CHART_GOLDEN_DIR)).filePath(QString::fromStdString(name) + ".png");
}

class Golden : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        // Labels use the locale's decimal separator: the pictures are drawn with a fixed one.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

std::vector<std::string> SceneNames() {
    std::vector<std::string> names;
    for (const auto& [name, scene] : Scenes())
        names.push_back(name);
    return names;
}

} // namespace

TEST_P(Golden, PictureIsUnchanged) {
    const std::string name = GetParam();
    QImage actual = Scenes().at(name)().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(actual.isNull());
    const QString file = GoldenFile(name);
    if (qEnvironmentVariableIntValue("TARVELLO_WRITE_GOLDEN") == 1) {
        ASSERT_TRUE(actual.save(file, "PNG")) << file.toStdString();
        GTEST_SKIP() << "written " << file.toStdString();
    }
    const QImage expected = QImage(file).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "no reference picture " << file.toStdString();
    ASSERT_EQ(actual.size(), expected.size());
    int differing = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < actual.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
        const QRgb* e = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        for (int x = 0; x < actual.width(); ++x)
            if ((a[x] & 0xFFFFFF) != (e[x] & 0xFFFFFF)) {
                if (differing++ == 0) first = QPoint(x, y);
            }
    }
    if (differing != 0) {
        const QString out = QDir::temp().filePath(QString::fromStdString("tarvello-golden-" + name + ".png"));
        actual.save(out, "PNG");
        ADD_FAILURE() << differing << " pixels differ, the first at (" << first.x() << ", " << first.y()
                      << "); the picture drawn now is " << out.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, Golden, ::testing::ValuesIn(SceneNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });
