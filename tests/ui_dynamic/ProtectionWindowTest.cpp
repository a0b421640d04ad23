// The time-current chart from curves made by hand (series, log axes, ranges, legend in both
// languages; a path that turns drawn in time order); the protection window from the menu with and
// without a relay, following the settings; its verdicts for a stalled start and a passing one.

#include "DynamicFixture.h"

#include "ProtectionChart.h"
#include "ProtectionWindow.h"
#include "xyGraph.h"

#include <functional>
#include <string>
#include <vector>

namespace {

namespace S = TimeCurrentSeries;

// The points point(v) for v from `from` up to `to`, `step` apart.
TimeCurrentCurve Sampled(double from, double to, double step, const std::function<std::pair<double, double>(double)>& point)
{
    TimeCurrentCurve c;
    for (int k = 0; from + k * step <= to; ++k) {
        const auto [x, t] = point(from + k * step);
        c.Current.push_back(x);
        c.Time.push_back(t);
    }
    return c;
}

// Class 10 relays set at In (hot: θ0 = 1), a motor with I_LR 6.9 In and withstand times 12 s cold
// and 10 s hot; a direct-on-line start falling from 6.5 In in 2 s; a current limit that rises to
// 3 In, holds and falls; axes widened beyond the usual by the curves.
TimeCurrentCurves HandMade(bool withstand)
{
    TimeCurrentCurves c;
    auto relay = [](double t72, double theta0) {
        return Sampled(1.13, 25, 0.05, [=](double x) { return std::pair{x, *RelayTripTime(RelayTimeConstant(t72), x, theta0)}; });
    };
    auto motor = [](double tLR) { return Sampled(2, 6.9, 0.1, [=](double x) { return std::pair{x, tLR * (6.9 / x) * (6.9 / x)}; }); };
    c.EarliestCold = relay(4, 0);
    c.LatestCold = relay(10, 0);
    c.EarliestHot = relay(4, 1);
    c.LatestHot = relay(10, 1);
    if (withstand) {
        c.MotorCold = motor(12);
        c.MotorHot = motor(10);
        c.MotorColdPoint = std::pair{6.9, 12.0};
        c.MotorHotPoint = std::pair{6.9, 10.0};
    }
    c.DolStart = Sampled(0.01, 2, 0.01, [](double t) { return std::pair{1 + 5.5 * (1 - std::pow(t / 2, 4)), t}; });
    c.SoftStarterStart = Sampled(0.02, 6.5, 0.02, [](double t) {
        return std::pair{t < 1 ? 0.6 + 2.4 * t : t < 6 ? 3 : 3 - 4 * (t - 6), t};
    });
    c.CurrentMin = 0.4, c.CurrentMax = 26, c.TimeMin = 0.01, c.TimeMax = 2e4;
    return c;
}

// The chart's series numbers, and the names its legend shows.
std::pair<std::vector<int>, std::vector<std::string>> SeriesAndLegend(const TxyGraph* chart)
{
    std::pair<std::vector<int>, std::vector<std::string>> r;
    for (const TSeries* s : chart->SeriesList()) {
        r.first.push_back(s->Index());
        if (s->ShowInLegend() != 0)
            r.second.push_back(s->SeriesName().toStdString());
    }
    return r;
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
    {"WithstandFrench", true, Language::French, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, S::SoftMore + 1},
     {"Démarrage DOL", "Démarrage avec Soft-Starter", "Relais à froid, rapide", "Relais à froid, lent",
      "Relais à chaud, rapide", "Relais à chaud, lent", "Limite du moteur à froid", "Limite du moteur à chaud",
      "Rotor bloqué à froid", "Rotor bloqué à chaud"},
     "Courant (I/In)", "Temps (s)"},
    {"RelayOnlyEnglish", false, Language::English, {1, 2, 3, 4, 5, 6, S::SoftMore + 1},
     {"DOL start", "Soft-Starter start", "Relay cold, earliest", "Relay cold, latest", "Relay hot, earliest",
      "Relay hot, latest"},
     "Current (I/In)", "Time (s)"},
};

class TimeCurrentChartTest : public DynamicUiTest, public ::testing::WithParamInterface<ChartCase> {};

// A current limit: rises to 3 In, holds it (the solver's jitter on it), falls.
std::vector<double> LimitStart(double jitter)
{
    std::vector<double> x;
    for (int k = 0; k < 260; ++k)
        x.push_back(k < 40 ? 0.6 + 0.06 * k : k < 240 ? 3 * (1 + (k % 2 ? jitter : -jitter)) : 3 - 0.1 * (k - 239));
    return x;
}

struct PathCase {
    const char* name;
    std::vector<double> current;
    int stretches;
    bool exact; // without jitter: every stretch is drawn in time order
};

const PathCase PathCases[] = {
    {"FallingDol", {6.5, 6.4, 6.2, 5.8, 4.0, 2.0, 1.2, 1.0}, 1, true},
    {"CurrentLimitRisesHoldsFalls", LimitStart(0), 2, true},
    {"HoldWithSolverJitter", LimitStart(1e-7), 2, false},
    {"RisesFallsRisesAgain", {1, 2, 3, 2, 1.5, 2.5, 4}, 3, true},
};

class StretchTest : public DynamicUiTest, public ::testing::WithParamInterface<PathCase> {};

// The relay as the protection dialog confirms it.
void SetRelay(std::optional<ProtectionSettings> relay)
{
    DynamicData.Protection = relay;
    Form1->NotifyDynamicInputsChanged();
}

struct VerdictCase {
    const char* name;
    const char *t0, *t1, *t2; // the squared load's torques
    bool french;
    const char *dol, *soft; // the verdicts of each start, cold and hot alike
};

// A load the motor cannot carry stalls both starts; a fan load lets both through.
const VerdictCase VerdictCases[] = {
    {"StalledOnClass30", "105", "12", "-0.6", false, "FAIL", "FAIL"},
    {"StalledOnClass30French", "105", "12", "-0.6", true, "ÉCHEC", "ÉCHEC"},
    {"FanOnClass30French", "0", "0", "0.0117", true, "RÉUSSI", "RÉUSSI"},
};

class VerdictTest : public DynamicUiTest, public ::testing::WithParamInterface<VerdictCase> {};

} // namespace

TEST_P(TimeCurrentChartTest, SeriesLogAxesRangesAndLegendFollowTheCurves)
{
    const ChartCase& c = GetParam();
    QWidget sheet;
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    TxyGraph* chart = NewTimeCurrentChart(&sheet, "Chart");
    sheet.show();
    const TimeCurrentCurves curves = HandMade(c.withstand);
    PlotTimeCurrentChart(chart, curves, c.language);
    EXPECT_EQ(SeriesAndLegend(chart), std::pair(c.series, c.legend));
    EXPECT_EQ(chart->XAxis().Title().toStdString(), c.xTitle);
    EXPECT_EQ(chart->YAxis().Title().toStdString(), c.yTitle);
    EXPECT_TRUE(chart->XAxis().LogScale() && chart->YAxis().LogScale());
    EXPECT_EQ(std::vector({chart->XAxis().Min(), chart->XAxis().Max(), chart->YAxis().Min(), chart->YAxis().Max()}),
              std::vector({curves.CurrentMin, curves.CurrentMax, curves.TimeMin, curves.TimeMax}));
    EXPECT_EQ(chart->GetSeries(S::LatestCold).LineStyle(), psDash);

    // The legend beside the plot at the right edge, at any width; decades labelled on the log axis.
    for (int width : {900, 640}) {
        chart->resize(width, 500);
        chart->RenderImage();
        const TLegend& legend = chart->Legend();
        EXPECT_TRUE(legend.visible());
        EXPECT_LE(legend.left() + legend.width(), width);
        EXPECT_GT(legend.left(), chart->PlotArea().right()) << width;
        const auto& labels = chart->DrawnXLabels();
        for (const char* decade : {"1", "10"})
            EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](const auto& l) { return l.Text == decade; }));
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, TimeCurrentChartTest, ::testing::ValuesIn(ChartCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(StretchTest, APathThatTurnsIsDrawnInTimeOrder)
{
    const PathCase& c = GetParam();
    TimeCurrentCurves curves;
    curves.SoftStarterStart.Current = c.current;
    for (std::size_t k = 0; k < c.current.size(); ++k)
        curves.SoftStarterStart.Time.push_back(0.1 * static_cast<double>(k + 1));
    QWidget sheet;
    TxyGraph* chart = NewTimeCurrentChart(&sheet, "Chart");
    PlotTimeCurrentChart(chart, curves, Language::English);
    ASSERT_EQ(chart->SeriesCount(), c.stretches);
    std::size_t drawn = 0;
    for (const TSeries* s : chart->SeriesList()) {
        drawn += s->Points().size();
        // In the chart's order (by current) the times run one way: the line never jumps back.
        bool rising = true, falling = true;
        for (std::size_t k = 1; k < s->Points().size(); ++k) {
            rising = rising && s->Points()[k].y >= s->Points()[k - 1].y;
            falling = falling && s->Points()[k].y <= s->Points()[k - 1].y;
        }
        EXPECT_TRUE(!c.exact || rising || falling) << s->Index();
    }
    // Neighbours share their end point: the path is drawn without a gap.
    EXPECT_EQ(drawn, c.current.size() + c.stretches - 1);
    EXPECT_EQ(SeriesAndLegend(chart).second, std::vector<std::string>{"Soft-Starter start"}); // one entry
}

INSTANTIATE_TEST_SUITE_P(Paths, StretchTest, ::testing::ValuesIn(PathCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DynamicUiTest, TheProtectionWindowSaysWhereToSetARelayAndFollowsTheSettings)
{
    RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.0117"));
    Trigger(Form1->DisplayProtection);
    TProtectionChartForm* w = ProtectionChartForm;
    ASSERT_TRUE(w->isVisible());
    EXPECT_TRUE(w->Notice->isVisible() && w->Notice->text().contains(QString::fromUtf8("Parameters › Protection")));
    EXPECT_FALSE(w->Chart->isVisible() || w->Panel->isVisible() || w->HasResults());

    // A relay set while the window is open: the chart and the verdicts at once.
    SetRelay(ProtectionSettings{TripClass::Class10, std::nullopt, 12.0, 10.0});
    ASSERT_TRUE(w->HasResults());
    EXPECT_TRUE(!w->Notice->isVisible() && w->Chart->isVisible() && w->Panel->isVisible());
    const DynamicResults e = Expected();
    EXPECT_EQ(w->Chart->FindSeries(S::DolStart)->PointCount(),
              static_cast<int>(ComputeTimeCurrentCurves(e, MotorData.LineCurrent).DolStart.Current.size()));
    EXPECT_TRUE(w->RelayText->text().startsWith(
        QStringLiteral("Relay class 10, setting Ir %1 A (the motor's rated current)").arg(FixedText(8.5, 2))));
    EXPECT_FALSE(w->NoWithstand->isVisible());
    EXPECT_EQ(w->Locked[TProtectionChartForm::Hot][TProtectionChartForm::LockedPermitted]->text(),
              FixedText(e.Protection->LockedRotorHot->PermittedTime, 2) + " s");

    // Another class without withstand times is followed; the relay taken away, the notice again.
    SetRelay(ProtectionSettings{TripClass::Class20, std::nullopt, std::nullopt, std::nullopt});
    EXPECT_TRUE(w->RelayText->text().startsWith("Relay class 20"));
    EXPECT_EQ(w->NoWithstand->text(), "No locked-rotor withstand times given: only the relay is judged.");
    EXPECT_TRUE(w->NoWithstand->isVisible() && !w->TcuHeading->isVisible());
    EXPECT_FALSE(w->Chart->FindSeries(S::MotorCold));
    SetRelay(std::nullopt);
    EXPECT_TRUE(!w->HasResults() && !w->Chart->isVisible() && w->Notice->isVisible());
}

TEST_P(VerdictTest, TheRelayVerdictsShowPassOrFailInGreenOrRed)
{
    const VerdictCase& c = GetParam();
    RunWorkflowWithLoad(LoadKind::Squared, c.t0, c.t1, Dec(c.t2), c.french);
    SetRelay(ProtectionSettings{TripClass::Class30, std::nullopt, 12.0, 10.0});
    Trigger(Form1->DisplayProtection);
    const TProtectionChartForm* w = ProtectionChartForm;
    ASSERT_TRUE(w->HasResults());
    const ProtectionResults p = *Expected().Protection;
    const RelayStart* starts[] = {&p.Dol.Cold, &p.Dol.Hot, &p.SoftStarter.Cold, &p.SoftStarter.Hot};
    for (int r = 0; r < TProtectionChartForm::StartRowCount; ++r) {
        QLabel* const* row = w->Pass[r];
        EXPECT_EQ(row[TProtectionChartForm::PassVerdict]->text(), QString::fromUtf8(r < 2 ? c.dol : c.soft)) << r;
        EXPECT_EQ(TextColour(row[TProtectionChartForm::PassVerdict]),
                  starts[r]->PassesStart ? QColor(0, 120, 0) : QColor(200, 0, 0)) << r;
        EXPECT_EQ(row[TProtectionChartForm::PassLevel]->text(), FixedText(starts[r]->TripLevel, 1) + " %") << r;
        EXPECT_EQ(row[TProtectionChartForm::PassTrips]->text().startsWith(NoValueText()), !starts[r]->EarliestTripTime);
    }
    // A start that never runs up uses more than the motor's whole capacity: in red; a fan's start
    // allows 10 or more.
    QLabel* tcu = w->Tcu[TProtectionChartForm::TcuDol][TProtectionChartForm::TcuCold];
    EXPECT_EQ(tcu->text(), FixedText(*p.Dol.Cold.Tcu, 1) + " %");
    EXPECT_EQ(TextColour(tcu), *p.Dol.Cold.Tcu <= 100 ? QColor(0, 120, 0) : QColor(200, 0, 0));
    const long long n = *p.Dol.StartsInSuccession;
    EXPECT_EQ(w->Tcu[TProtectionChartForm::TcuDol][TProtectionChartForm::TcuStarts]->text(),
              n >= 10 ? Pick("10 or more", "10 ou plus") : QString::number(n));
}

INSTANTIATE_TEST_SUITE_P(Starts, VerdictTest, ::testing::ValuesIn(VerdictCases),
                         [](const auto& info) { return std::string(info.param.name); });
