// The motor characteristics window: its curves are the circuit's torque and current at rated
// voltage through the true breakdown, its marks are the data sheet's values (on the curves for an
// exact fit, beside them where a best fit gives way), a motor without a data sheet has none, and
// without results it says what to do first and follows the motor once there is one.

#include "DynamicFixture.h"

#include "Characteristics.h"
#include "MainCharts.h"
#include "OperatingPoint.h"
#include "xyGraph.h"

#include <algorithm>
#include <utility>

namespace {

using Points = std::vector<std::pair<double, double>>;

double RatedSpeedRatio(const MotorDataSet& ds)
{
    return 1 - (1 - ds.RatedSpeed / (60 * ds.SynchronousSpeed));
}

// The circuit's own torque and current at n/ns = x, as the model evaluates them.
double TorqueAt(const MotorDataSet& ds, double x)
{
    return MotorTorque(ds, 1 - x, ds.PhaseVoltage) / ds.RatedTorque;
}
double CurrentAt(const MotorDataSet& ds, double x)
{
    return StatorCurrent(ds, 1 - x, ds.PhaseVoltage) / ds.PhaseCurrent;
}

// Every tenth point of a curve, its last and its highest agree with the model.
void ExpectCurve(const Points& curve, const MotorDataSet& ds, double (*model)(const MotorDataSet&, double),
                 const char* what)
{
    ASSERT_GT(curve.size(), std::size_t(CharacteristicPoints)) << what;
    EXPECT_EQ(curve.front().first, 0) << what;
    EXPECT_NEAR(curve.back().first, 1, 1e-6) << what;
    const auto top = std::max_element(curve.begin(), curve.end(),
                                      [](const auto& a, const auto& b) { return a.second < b.second; });
    for (std::size_t k = 0; k < curve.size(); ++k) {
        if (k % 10 != 0 && k + 1 != curve.size() && curve.begin() + k != top)
            continue;
        const auto [x, y] = curve[k];
        EXPECT_NEAR(y, model(ds, x), 1e-6 * std::max(1.0, y)) << what << " at n/ns " << x;
    }
}

struct CharacteristicsCase {
    const char* name;
    double ia; // 0: no data sheet
    bool french;
};

class CharacteristicsTest : public DynamicUiTest, public ::testing::WithParamInterface<CharacteristicsCase> {};

} // namespace

TEST_P(CharacteristicsTest, CurvesFollowTheCircuitAndMarksShowTheDataSheet)
{
    const CharacteristicsCase c = GetParam();
    RunWorkflowWithLoad(LoadKind::None, "0", "0", "0", c.french);
    if (c.ia > 0)
        UseDatasheet(c.ia);
    Trigger(Form1->MotorCharacteristics);
    const TCharacteristicsForm* w = CharacteristicsForm;
    ASSERT_TRUE(w->isVisible());
    ASSERT_TRUE(w->HasMotor());
    EXPECT_FALSE(w->Notice->isVisible());
    EXPECT_TRUE(w->TorqueChart->isVisible());
    EXPECT_TRUE(w->CurrentChart->isVisible());
    const MotorDataSet& ds = MotorData;
    EXPECT_EQ(w->Motor().Rr2, ds.Rr2);

    // The curves through the true breakdown of the whole speed range.
    const Points torque = SeriesPoints(w->TorqueChart, TCharacteristicsForm::CurveSeries);
    const Points current = SeriesPoints(w->CurrentChart, TCharacteristicsForm::CurveSeries);
    ExpectCurve(torque, ds, TorqueAt, "torque");
    ExpectCurve(current, ds, CurrentAt, "current");
    const TorquePeak peak = TorqueMaximum(ds, 0, 1, ds.PhaseVoltage);
    const auto top = std::max_element(torque.begin(), torque.end(),
                                      [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_DOUBLE_EQ(top->second, peak.torque / ds.RatedTorque);
    EXPECT_DOUBLE_EQ(top->first, 1 - peak.slip);

    const Language language = c.french ? Language::French : Language::English;
    EXPECT_EQ(w->windowTitle(), c.french ? QString::fromUtf8("Caractéristiques du moteur") : "Motor Characteristics");
    EXPECT_EQ(ChartTitle(w->TorqueChart), c.french ? "Couple" : "Torque");
    EXPECT_EQ(w->TorqueChart->XAxis().Title(), "n/ns");
    if (c.ia == 0) {
        EXPECT_EQ(w->TorqueChart->FindSeries(TCharacteristicsForm::MarkSeries), nullptr);
        EXPECT_EQ(w->CurrentChart->FindSeries(TCharacteristicsForm::MarkSeries), nullptr);
        EXPECT_FALSE(w->LegendMarks->isVisible());
        EXPECT_TRUE(w->Caption->text().startsWith(c.french ? "Pas de catalogue constructeur" : "No data sheet"));
        return;
    }

    // The marks sit at the data sheet's values, the breakdown at the fitted motor's speed.
    const double rated = RatedSpeedRatio(ds), breakdown = 1 - ds.Fit.BreakdownSlip;
    EXPECT_EQ(SeriesPoints(w->TorqueChart, TCharacteristicsForm::MarkSeries),
              (Points{{0, ds.LockedRotorTorqueRatio}, {breakdown, ds.BreakdownTorqueRatio}, {rated, 1}}));
    EXPECT_EQ(SeriesPoints(w->CurrentChart, TCharacteristicsForm::MarkSeries),
              (Points{{0, c.ia}, {rated, 1}}));
    EXPECT_EQ(w->TorqueChart->GetSeries(TCharacteristicsForm::MarkSeries).DrawLine(), false);
    EXPECT_TRUE(w->LegendMarks->isVisible());
    // The curves pass each mark by the fit's deviation there: through it where the fit is exact.
    const auto& d = ds.Fit.Deviations;
    const struct {
        double x, mark, deviation, curve;
    } passes[] = {{rated, 1, d[2], TorqueAt(ds, rated)},
                  {0, ds.LockedRotorTorqueRatio, d[3], TorqueAt(ds, 0)},
                  {breakdown, ds.BreakdownTorqueRatio, d[5], TorqueAt(ds, breakdown)},
                  {0, c.ia, d[4], current.front().second},
                  {rated, 1, d[0], CurrentAt(ds, rated)}};
    for (const auto& p : passes) {
        EXPECT_NEAR(p.curve, p.mark * (1 + p.deviation), 1e-6 * p.mark) << "mark at n/ns " << p.x;
        if (ds.Fit.Exact) {
            EXPECT_NEAR(p.curve, p.mark, 1e-6 * p.mark) << "mark at n/ns " << p.x;
        }
    }
    EXPECT_EQ(ds.Fit.Exact, c.ia == 5.5);
    EXPECT_EQ(std::fabs(d[4]) > 0.01, !ds.Fit.Exact); // the best fit's locked-rotor current gives way
    EXPECT_TRUE(w->Caption->text().startsWith(c.french ? "Cercles : le catalogue constructeur."
                                                       : "Circles: the data sheet."));
    EXPECT_TRUE(w->Caption->text().contains(FromStd(FitSummary(ds, language)))) << ToStd(w->Caption->text());
    EXPECT_TRUE(w->Caption->text().contains(FixedText(c.ia, 2)));
}

INSTANTIATE_TEST_SUITE_P(Motors, CharacteristicsTest,
                         ::testing::Values(CharacteristicsCase{"OneCage", 0, false},
                                           CharacteristicsCase{"OneCageFrench", 0, true},
                                           CharacteristicsCase{"ExactFit", 5.5, false},
                                           CharacteristicsCase{"BestFitFrench", 6.4, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DynamicUiTest, WithoutAMotorTheCharacteristicsWindowSaysSoThenFollowsTheMotor)
{
    ChooseLanguage(false);
    EXPECT_EQ(Form1->MotorCharacteristics->text(), "Motor C&haracteristics");
    Trigger(Form1->MotorCharacteristics);
    const TCharacteristicsForm* w = CharacteristicsForm;
    ASSERT_TRUE(w->isVisible());
    EXPECT_FALSE(w->HasMotor());
    EXPECT_TRUE(w->Notice->isVisible());
    EXPECT_TRUE(w->Notice->text().startsWith("No motor yet."));
    EXPECT_FALSE(w->TorqueChart->isVisible());
    EXPECT_FALSE(w->CurrentChart->isVisible());
    EXPECT_FALSE(w->Caption->isVisible());

    // The open window takes each motor the main window computes.
    ComeBackTo(Form1);
    EnterMotor();
    Click(Form1->Button2);
    SetLimitMode("3");
    Click(Form1->Button3);
    SetLoad(LoadKind::None);
    ASSERT_TRUE(w->HasMotor());
    EXPECT_FALSE(w->Notice->isVisible());
    EXPECT_TRUE(w->TorqueChart->isVisible());
    EXPECT_EQ(w->CurrentChart->FindSeries(TCharacteristicsForm::MarkSeries), nullptr);
    for (const double ia : {5.5, 6.4}) {
        UseDatasheet(ia);
        const Points marks = SeriesPoints(w->CurrentChart, TCharacteristicsForm::MarkSeries);
        ASSERT_EQ(marks.size(), 2u);
        EXPECT_EQ(marks.front(), std::make_pair(0.0, ia));
        EXPECT_EQ(w->Motor().LockedRotorCurrentRatio, ia);
    }
}
