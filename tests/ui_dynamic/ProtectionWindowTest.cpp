// The protection window and its time-current chart: the chart's series, logarithmic axes, ranges
// and legend in both languages from curves made by hand; a start's path that turns drawn as
// stretches in time order; the window opened from the menu with and without a relay, following the
// settings; its verdicts for a stalled start and a passing one.

#include "DynamicFixture.h"

#include "ProtectionChart.h"
#include "ProtectionWindow.h"
#include "xyGraph.h"

#include <QFrame>

#include <cmath>
#include <string>
#include <vector>

namespace {

namespace S = TimeCurrentSeries;

// Trip times of a relay at currents from just above k up to 25 In, as the chart draws them.
TimeCurrentCurve TripCurve(double t72, double theta0)
{
    TimeCurrentCurve c;
    for (double x = 1.13; x <= 25; x *= 1.05) {
        c.Current.push_back(x);
        c.Time.push_back(*RelayTripTime(RelayTimeConstant(t72), x, theta0));
    }
    return c;
}

// Class 10 relays set at In (hot: θ0 = 1), a motor with I_LR 6.9 In and withstand times 12 s cold
// and 10 s hot; a direct-on-line start falling from 6.5 In in 2 s; a current limit that rises to
// 3 In, holds and falls; axes widened beyond the usual by the curves.
TimeCurrentCurves HandMade(bool withstand)
{
    TimeCurrentCurves c;
    c.EarliestCold = TripCurve(4, 0);
    c.LatestCold = TripCurve(10, 0);
    c.EarliestHot = TripCurve(4, 1);
    c.LatestHot = TripCurve(10, 1);
    if (withstand) {
        for (auto [line, tLR] : {std::pair{&c.MotorCold, 12.0}, std::pair{&c.MotorHot, 10.0}})
            for (double x = 6.9; x >= 2; x -= 0.1) {
                line->Current.push_back(x);
                line->Time.push_back(tLR * (6.9 / x) * (6.9 / x));
            }
        c.MotorColdPoint = std::pair{6.9, 12.0};
        c.MotorHotPoint = std::pair{6.9, 10.0};
    }
    for (double t = 0.01; t <= 2; t += 0.01) {
        c.DolStart.Current.push_back(1 + 5.5 * (1 - std::pow(t / 2, 4)));
        c.DolStart.Time.push_back(t);
    }
    for (double t = 0.02; t <= 6.5; t += 0.02) {
        c.SoftStarterStart.Current.push_back(t < 1 ? 0.6 + 2.4 * t : t < 6 ? 3 : 3 - 4 * (t - 6));
        c.SoftStarterStart.Time.push_back(t);
    }
    c.CurrentMin = 0.4;
    c.CurrentMax = 26;
    c.TimeMin = 0.01;
    c.TimeMax = 2e4;
    return c;
}

std::vector<int> Indices(const TxyGraph* chart)
{
    std::vector<int> indices;
    for (const TSeries* s : chart->SeriesList())
        indices.push_back(s->Index());
    return indices;
}

std::vector<std::string> LegendNames(const TxyGraph* chart)
{
    std::vector<std::string> names;
    for (const TSeries* s : chart->SeriesList())
        if (s->ShowInLegend() != 0)
            names.push_back(s->SeriesName().toStdString());
    return names;
}

struct ChartCase {
    const char* name;
    bool withstand;
    Language language;
    std::vector<int> series;
    std::vector<std::string> legend;
    const char *xTitle, *yTitle;
};

const ChartCase ChartCases[] = {
    {"WithstandEnglish",
     true,
     Language::English,
     {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, S::SoftMore + 1},
     {"DOL start", "Soft-Starter start", "Relay cold, earliest", "Relay cold, latest", "Relay hot, earliest",
      "Relay hot, latest", "Motor limit, cold", "Motor limit, hot", "Locked rotor, cold", "Locked rotor, hot"},
     "Current (I/In)",
     "Time (s)"},
    {"WithstandFrench",
     true,
     Language::French,
     {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, S::SoftMore + 1},
     {"Démarrage DOL", "Démarrage avec Soft-Starter", "Relais à froid, rapide", "Relais à froid, lent",
      "Relais à chaud, rapide", "Relais à chaud, lent", "Limite du moteur à froid",
      "Limite du moteur à chaud", "Rotor bloqué à froid", "Rotor bloqué à chaud"},
     "Courant (I/In)",
     "Temps (s)"},
    {"RelayOnlyFrench",
     false,
     Language::French,
     {1, 2, 3, 4, 5, 6, S::SoftMore + 1},
     {"Démarrage DOL", "Démarrage avec Soft-Starter", "Relais à froid, rapide", "Relais à froid, lent",
      "Relais à chaud, rapide", "Relais à chaud, lent"},
     "Courant (I/In)",
     "Temps (s)"},
};

class TimeCurrentChartTest : public DynamicUiTest, public ::testing::WithParamInterface<ChartCase> {};

// Points of a series in the chart's order (by current) whose times run one way: the line through
// them follows the path in time and never jumps back.
bool DrawnInTimeOrder(const TSeries& series)
{
    const auto& p = series.Points();
    bool rising = true, falling = true;
    for (std::size_t k = 1; k < p.size(); ++k) {
        rising = rising && p[k].y >= p[k - 1].y;
        falling = falling && p[k].y <= p[k - 1].y;
    }
    return rising || falling;
}

struct PathCase {
    const char* name;
    std::vector<double> current;
    int stretches;
    bool exact; // without jitter: every stretch is drawn in time order
};

std::vector<double> LimitStart(double jitter)
{
    std::vector<double> x;
    for (int k = 0; k < 40; ++k)
        x.push_back(0.6 + 0.06 * k);
    for (int k = 0; k < 200; ++k)
        x.push_back(3 * (1 + (k % 2 ? jitter : -jitter)));
    for (int k = 1; k <= 20; ++k)
        x.push_back(3 - 0.1 * k);
    return x;
}

const PathCase PathCases[] = {
    {"FallingDol", {6.5, 6.4, 6.2, 5.8, 4.0, 2.0, 1.2, 1.0}, 1, true},
    {"CurrentLimitRisesHoldsFalls", LimitStart(0), 2, true},
    {"HoldWithSolverJitter", LimitStart(1e-7), 2, false},
    {"RisesFallsRisesAgain", {1, 2, 3, 2, 1.5, 2.5, 4}, 3, true},
    {"OnePoint", {2}, 1, true},
};

class StretchTest : public DynamicUiTest, public ::testing::WithParamInterface<PathCase> {};

// The relay as the protection dialog confirms it.
void SetRelay(std::optional<ProtectionSettings> relay)
{
    DynamicData.Protection = relay;
    Form1->NotifyDynamicInputsChanged();
}

QColor Colour(const QLabel* l)
{
    return l->palette().color(QPalette::WindowText);
}

struct VerdictCase {
    const char* name;
    const char *t0, *t1, *t2; // the squared load's torques
    TripClass tripClass;
    bool withstand, french;
    const char* dolCold; // the verdicts of the DOL start and the soft-starter's, cold and hot
    const char* softCold;
};

const VerdictCase VerdictCases[] = {
    {"StalledOnClass30", "105", "12", "-0.6", TripClass::Class30, true, false, "FAIL", "FAIL"},
    {"StalledOnClass30French", "105", "12", "-0.6", TripClass::Class30, true, true, "ÉCHEC", "ÉCHEC"},
    {"FanOnClass30", "0", "0", "0.0117", TripClass::Class30, false, false, "PASS", "PASS"},
};

class VerdictTest : public DynamicUiTest, public ::testing::WithParamInterface<VerdictCase> {};

} // namespace

TEST_P(TimeCurrentChartTest, SeriesLogAxesRangesAndLegendFollowTheCurves)
{
    const ChartCase& c = GetParam();
    QWidget sheet;
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    TxyGraph* chart = NewTimeCurrentChart(&sheet, "Chart");
    chart->resize(900, 600);
    sheet.show();
    const TimeCurrentCurves curves = HandMade(c.withstand);
    PlotTimeCurrentChart(chart, curves, c.language);
    EXPECT_EQ(Indices(chart), c.series);
    EXPECT_EQ(LegendNames(chart), c.legend);
    EXPECT_EQ(chart->XAxis().Title().toStdString(), c.xTitle);
    EXPECT_EQ(chart->YAxis().Title().toStdString(), c.yTitle);
    for (const TAxis* axis : {&chart->XAxis(), &chart->YAxis()}) {
        EXPECT_TRUE(axis->LogScale());
        EXPECT_FALSE(axis->AutoSizing());
    }
    EXPECT_EQ(chart->XAxis().Min(), curves.CurrentMin);
    EXPECT_EQ(chart->XAxis().Max(), curves.CurrentMax);
    EXPECT_EQ(chart->YAxis().Min(), curves.TimeMin);
    EXPECT_EQ(chart->YAxis().Max(), curves.TimeMax);
    EXPECT_TRUE(chart->ScalesValid());
    // The relays' curves as given; the start's limit point on its marks.
    ASSERT_EQ(chart->GetSeries(S::LatestHot).PointCount(), static_cast<int>(curves.LatestHot.Current.size()));
    EXPECT_EQ(chart->GetSeries(S::LatestHot).Points().front().y, curves.LatestHot.Time.front());
    EXPECT_TRUE(chart->GetSeries(S::SoftStarterStart).DrawPoints());
    EXPECT_EQ(chart->GetSeries(S::LatestCold).LineStyle(), psDash);

    // The legend beside the plot, at the right edge, at any width; decades labelled on the log axis.
    for (int width : {900, 640}) {
        chart->resize(width, 500);
        const QImage image = chart->RenderImage();
        const TLegend& legend = chart->Legend();
        EXPECT_TRUE(legend.visible());
        EXPECT_LE(legend.left() + legend.width(), width);
        EXPECT_GT(legend.left(), chart->PlotArea().right()) << width;
        std::vector<std::string> labels;
        for (const auto& label : chart->DrawnXLabels())
            labels.push_back(label.Text.toStdString());
        EXPECT_NE(std::find(labels.begin(), labels.end(), "1"), labels.end());
        EXPECT_NE(std::find(labels.begin(), labels.end(), "10"), labels.end());
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, TimeCurrentChartTest, ::testing::ValuesIn(ChartCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(StretchTest, APathThatTurnsIsDrawnInTimeOrder)
{
    const PathCase& c = GetParam();
    TimeCurrentCurve path;
    path.Current = c.current;
    for (std::size_t k = 0; k < c.current.size(); ++k)
        path.Time.push_back(0.1 * static_cast<double>(k + 1));
    const std::vector<TimeCurrentCurve> stretches = MonotoneStretches(path);
    ASSERT_EQ(static_cast<int>(stretches.size()), c.stretches);
    // Neighbours share their end point: the path is drawn without a gap, every point once more.
    std::size_t points = 0;
    for (std::size_t k = 0; k < stretches.size(); ++k) {
        points += stretches[k].Current.size();
        if (k > 0) {
            EXPECT_EQ(stretches[k].Time.front(), stretches[k - 1].Time.back());
        }
    }
    EXPECT_EQ(points, path.Current.size() + stretches.size() - 1);

    TimeCurrentCurves curves;
    curves.SoftStarterStart = path;
    QWidget sheet;
    TxyGraph* chart = NewTimeCurrentChart(&sheet, "Chart");
    PlotTimeCurrentChart(chart, curves, Language::English);
    ASSERT_EQ(chart->SeriesCount(), c.stretches);
    int drawn = 0;
    for (const TSeries* s : chart->SeriesList()) {
        drawn += s->PointCount();
        if (c.exact) {
            EXPECT_TRUE(DrawnInTimeOrder(*s)) << s->Index();
        }
    }
    EXPECT_EQ(drawn, static_cast<int>(points));
    // One legend entry, whatever the number of stretches.
    EXPECT_EQ(LegendNames(chart), std::vector<std::string>{"Soft-Starter start"});
}

INSTANTIATE_TEST_SUITE_P(Paths, StretchTest, ::testing::ValuesIn(PathCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DynamicUiTest, TheProtectionWindowSaysWhereToSetARelayAndFollowsTheSettings)
{
    RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.0117"));
    Trigger(Form1->DisplayProtection);
    ASSERT_TRUE(ProtectionForm->isVisible());
    TProtectionForm* w = ProtectionForm;
    EXPECT_TRUE(w->Notice->isVisible());
    EXPECT_TRUE(w->Notice->text().contains(QString::fromUtf8("Parameters › Protection")));
    EXPECT_FALSE(w->Chart->isVisible() || w->Panel->isVisible());
    EXPECT_FALSE(w->HasResults());

    // A relay set while the window is open: the chart and the verdicts at once.
    SetRelay(ProtectionSettings{TripClass::Class10, std::nullopt, 12.0, 10.0});
    ASSERT_TRUE(w->HasResults());
    EXPECT_FALSE(w->Notice->isVisible());
    EXPECT_TRUE(w->Chart->isVisible() && w->Panel->isVisible());
    const DynamicResults e = Expected();
    ASSERT_TRUE(e.Protection);
    EXPECT_EQ(w->Chart->FindSeries(S::DolStart)->PointCount(),
              static_cast<int>(ComputeTimeCurrentCurves(e, MotorData.LineCurrent).DolStart.Current.size()));
    EXPECT_TRUE(w->RelayText->text().startsWith(
        QStringLiteral("Relay class 10, setting Ir %1 A (the motor's rated current)").arg(FixedText(8.5, 2))));
    EXPECT_TRUE(w->Locked[TProtectionForm::Cold][TProtectionForm::LockedVerdict]->isVisible());
    EXPECT_FALSE(w->NoWithstand->isVisible());
    EXPECT_EQ(w->Locked[TProtectionForm::Hot][TProtectionForm::LockedPermitted]->text(),
              FixedText(e.Protection->LockedRotorHot->PermittedTime, 2) + " s");

    // Another class is followed.
    SetRelay(ProtectionSettings{TripClass::Class20, std::nullopt, std::nullopt, std::nullopt});
    EXPECT_TRUE(w->RelayText->text().startsWith("Relay class 20"));
    EXPECT_TRUE(w->NoWithstand->isVisible());
    EXPECT_FALSE(w->Chart->FindSeries(S::MotorCold));

    // The relay taken away: back to the notice.
    SetRelay(std::nullopt);
    EXPECT_FALSE(w->HasResults());
    EXPECT_TRUE(w->Notice->isVisible());
    EXPECT_FALSE(w->Chart->isVisible());
}

TEST_P(VerdictTest, TheRelayVerdictsShowPassOrFailInGreenOrRed)
{
    const VerdictCase& c = GetParam();
    RunWorkflowWithLoad(LoadKind::Squared, c.t0, c.t1, Dec(c.t2), c.french);
    const std::optional<double> cold = c.withstand ? std::optional(12.0) : std::nullopt;
    const std::optional<double> hot = c.withstand ? std::optional(10.0) : std::nullopt;
    SetRelay(ProtectionSettings{c.tripClass, std::nullopt, cold, hot});
    Trigger(Form1->DisplayProtection);
    ASSERT_TRUE(ProtectionForm->isVisible());
    const TProtectionForm* w = ProtectionForm;
    ASSERT_TRUE(w->HasResults());
    const DynamicResults e = Expected();
    const ProtectionResults& p = *e.Protection;
    const QString verdicts[TProtectionForm::StartRowCount] = {QString::fromUtf8(c.dolCold), QString::fromUtf8(c.dolCold),
                                                              QString::fromUtf8(c.softCold),
                                                              QString::fromUtf8(c.softCold)};
    const RelayStart* starts[] = {&p.Dol.Cold, &p.Dol.Hot, &p.SoftStarter.Cold, &p.SoftStarter.Hot};
    for (int r = 0; r < TProtectionForm::StartRowCount; ++r) {
        EXPECT_EQ(w->Pass[r][TProtectionForm::PassVerdict]->text(), verdicts[r]) << r;
        const bool pass = starts[r]->PassesStart;
        EXPECT_EQ(Colour(w->Pass[r][TProtectionForm::PassVerdict]), pass ? QColor(0, 120, 0) : QColor(200, 0, 0)) << r;
        EXPECT_EQ(w->Pass[r][TProtectionForm::PassLevel]->text(), FixedText(starts[r]->TripLevel, 1) + " %") << r;
        EXPECT_EQ(w->Pass[r][TProtectionForm::PassTrips]->text().startsWith(NoValueText()), !starts[r]->EarliestTripTime) << r;
    }
    EXPECT_EQ(w->NoWithstand->isVisible(), !c.withstand);
    EXPECT_EQ(w->TcuHeading->isVisible(), c.withstand);
    if (c.withstand) {
        // A start that never runs up uses more than the motor's whole capacity.
        EXPECT_EQ(w->Tcu[TProtectionForm::TcuDol][TProtectionForm::TcuCold]->text(), FixedText(*p.Dol.Cold.Tcu, 1) + " %");
        EXPECT_EQ(Colour(w->Tcu[TProtectionForm::TcuDol][TProtectionForm::TcuCold]),
                  *p.Dol.Cold.Tcu <= 100 ? QColor(0, 120, 0) : QColor(200, 0, 0));
        EXPECT_EQ(w->Tcu[TProtectionForm::TcuDol][TProtectionForm::TcuStarts]->text(),
                  *p.Dol.StartsInSuccession >= 10 ? Pick("10 or more", "10 ou plus")
                                                  : QString::number(*p.Dol.StartsInSuccession));
    } else {
        EXPECT_EQ(w->NoWithstand->text(), QString::fromUtf8("No locked-rotor withstand times given: only the relay is judged."));
    }
}

INSTANTIATE_TEST_SUITE_P(Starts, VerdictTest, ::testing::ValuesIn(VerdictCases),
                         [](const auto& info) { return std::string(info.param.name); });
