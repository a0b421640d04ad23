// The windows of a motor given by its data sheet: the motor characteristics (the circuit's curves
// through the true breakdown, the data sheet's marks, a message without results) and the dynamic
// start's tolerance corners and fit priority (without a data sheet: DynamicStartWindowTest).

#include "DynamicFixture.h"

#include "Characteristics.h"
#include "MainCharts.h"
#include "OperatingPoint.h"
#include "TextToReal.h"
#include "ToleranceCorners.h"
#include "xyGraph.h"

#include <QCheckBox>

#include <algorithm>

namespace {

using Points = std::vector<std::pair<double, double>>;
constexpr int CurveSeries = TCharacteristicsForm::CurveSeries, Marks = TCharacteristicsForm::MarkSeries;

struct CharacteristicsCase {
    const char* name;
    double ia; // 0: no data sheet
    bool french;
};

class CharacteristicsTest : public DynamicUiTest, public ::testing::WithParamInterface<CharacteristicsCase> {};

struct CornersCase {
    const char* name;
    Motor motor;
    double ia, ta, tk;
    bool french, heavyRefused, network;
    FitPriority priority;
    const char* fitLine; // the panel's line on the priority, through a network
};

class ToleranceCornersWindowTest : public DynamicUiTest, public ::testing::WithParamInterface<CornersCase> {};

// An 11 kW two-pole motor whose both corners fit.
const Motor Motor11kW{.power = "11000", .current = "19.6", .powerFactor = "0.89", .speed = "2935", .star = false,
                      .approximate = true};

} // namespace

TEST_P(CharacteristicsTest, CurvesFollowTheCircuitAndMarksShowTheDataSheet)
{
    const CharacteristicsCase c = GetParam();
    // Opened before any results, it says so instead of drawing; it follows the motor computed then.
    Trigger(Form1->MotorCharacteristics);
    const TCharacteristicsForm* w = CharacteristicsForm;
    ASSERT_TRUE(w->isVisible() && w->Notice->isVisible());
    EXPECT_TRUE(w->Notice->text().startsWith("No motor yet."));
    EXPECT_FALSE(w->TorqueChart->isVisible() || w->CurrentChart->isVisible() || w->Caption->isVisible());
    ComeBackTo(Form1);
    RunWorkflowWithLoad(LoadKind::None, "0", "0", "0", c.french);
    if (c.ia > 0)
        UseDatasheet(c.ia);
    ASSERT_TRUE(w->HasMotor() && w->TorqueChart->isVisible());
    EXPECT_FALSE(w->Notice->isVisible());
    const MotorDataSet& ds = MotorData;
    const auto torque = [&](double x) { return MotorTorque(ds, 1 - x, ds.PhaseVoltage) / ds.RatedTorque; };
    const auto current = [&](double x) { return StatorCurrent(ds, 1 - x, ds.PhaseVoltage) / ds.PhaseCurrent; };

    // Every fifth point is the circuit's; the highest is the true breakdown.
    const Points t = SeriesPoints(w->TorqueChart, CurveSeries), i = SeriesPoints(w->CurrentChart, CurveSeries);
    ASSERT_GT(t.size(), std::size_t(CharacteristicPoints));
    ASSERT_EQ(i.size(), t.size());
    EXPECT_EQ(t.front().first, 0);
    EXPECT_NEAR(t.back().first, 1, 1e-6);
    for (std::size_t k = 0; k < t.size(); k += 5) {
        EXPECT_NEAR(t[k].second, torque(t[k].first), 1e-6 * std::max(1.0, t[k].second)) << t[k].first;
        EXPECT_NEAR(i[k].second, current(i[k].first), 1e-6 * i[k].second) << i[k].first;
    }
    const TorquePeak peak = TorqueMaximum(ds, 0, 1, ds.PhaseVoltage);
    const auto top = std::max_element(t.begin(), t.end(), [](auto& a, auto& b) { return a.second < b.second; });
    EXPECT_EQ(*top, std::make_pair(1 - peak.slip, peak.torque / ds.RatedTorque));

    EXPECT_EQ(w->windowTitle(), c.french ? QString::fromUtf8("Caractéristiques du moteur") : "Motor Characteristics");
    EXPECT_EQ(ChartTitle(w->TorqueChart), c.french ? "Couple" : "Torque");
    const QString caption = w->Caption->text();
    if (c.ia == 0) {
        EXPECT_EQ(w->TorqueChart->FindSeries(Marks), nullptr);
        EXPECT_EQ(w->CurrentChart->FindSeries(Marks), nullptr);
        EXPECT_TRUE(caption.startsWith(c.french ? "Pas de catalogue constructeur" : "No data sheet"));
        return;
    }
    // The marks at the data sheet's values (the rated point at n/ns = 1 - s_N); the curves pass each
    // by the fit's deviation there, through it when the fit is exact.
    const double rated = 1 - (1 - ds.RatedSpeed / (60 * ds.SynchronousSpeed)), breakdown = 1 - ds.Fit.BreakdownSlip;
    const double ta = ds.LockedRotorTorqueRatio, tk = ds.BreakdownTorqueRatio;
    EXPECT_EQ(SeriesPoints(w->TorqueChart, Marks), (Points{{0, ta}, {breakdown, tk}, {rated, 1}}));
    EXPECT_EQ(SeriesPoints(w->CurrentChart, Marks), (Points{{0, c.ia}, {rated, 1}}));
    const auto& d = ds.Fit.Deviations;
    const double passes[][3] = {{torque(rated), 1, d[2]},       {torque(0), ta, d[3]}, {torque(breakdown), tk, d[5]},
                                {i.front().second, c.ia, d[4]}, {current(rated), 1, d[0]}};
    for (const auto& [curve, mark, deviation] : passes) {
        EXPECT_NEAR(curve, mark * (1 + deviation), 1e-6 * mark);
        EXPECT_TRUE(!ds.Fit.Exact || std::fabs(curve / mark - 1) < 1e-6) << mark;
    }
    EXPECT_EQ(ds.Fit.Exact, c.ia == 5.5);
    EXPECT_TRUE(caption.startsWith(c.french ? "Cercles : le catalogue constructeur." : "Circles: the data sheet."));
    EXPECT_TRUE(caption.contains(FromStd(FitSummary(ds, c.french ? Language::French : Language::English))));
}

INSTANTIATE_TEST_SUITE_P(Motors, CharacteristicsTest,
                         ::testing::Values(CharacteristicsCase{"OneCage", 0, false},
                                           CharacteristicsCase{"OneCageFrench", 0, true},
                                           CharacteristicsCase{"ExactFit", 5.5, false},
                                           CharacteristicsCase{"BestFitFrench", 6.4, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(ToleranceCornersWindowTest, TickedTheCornersAreDrawnAndSummedUp)
{
    const CornersCase& c = GetParam();
    ChooseLanguage(c.french);
    EnterMotor(c.motor);
    Click(Form1->Button2);
    SetLimitMode("3");
    Click(Form1->Button3);
    SetLoad(LoadKind::Constant, "20");
    SetMechanical(Dec("0.03"), Dec("0.2"));
    if (c.network)
        SetWeakTransformer();
    UseDatasheet(c.ia, c.ta, c.tk, TextToReal(ToStd(c.motor.speed)), c.priority);
    OpenDynamicWindow();
    TDynamicStartForm* w = DynamicStartForm;
    ASSERT_TRUE(w->CornersBox->isVisible());
    EXPECT_EQ(w->CornersBox->text(), c.french ? QString::fromUtf8("Coins de tolérance (CEI 60034-1)")
                                              : "Tolerance corners (IEC 60034-1)");
    EXPECT_EQ(w->FitText->isVisible(), c.network);
    EXPECT_EQ(w->FitText->text(), c.network ? QString::fromUtf8(c.fitLine) : QString());
    const QString legend = w->LegendDashed->text();

    for (const bool ticked : {true, false}) {
        w->CornersBox->setChecked(ticked);
        Pump();
        ASSERT_EQ(w->HasCorners(), ticked);
        EXPECT_EQ(w->CornersDol->isVisible(), ticked);
        EXPECT_EQ(w->LegendDashed->text() == legend, !ticked);
        const ToleranceCorners e = ComputeToleranceCorners(MotorData, DynamicData, 0, DynamicChartPoints);
        EXPECT_EQ(e.Heavy.Error != 0, c.heavyRefused);
        // Speed and current: each corner that fits, dotted in its start's colour, point for point.
        for (TxyGraph* chart : {w->SpeedChart, w->CurrentChart, w->TorqueChart, w->VoltageChart})
            for (int index = DynamicSeries::DolWeak; index <= DynamicSeries::SoftHeavy; ++index) {
                const bool dol = index <= DynamicSeries::DolHeavy, speed = chart == w->SpeedChart;
                const ToleranceCorner& corner = (index - DynamicSeries::DolWeak) % 2 ? e.Heavy : e.Weak;
                const TSeries* s = chart->FindSeries(index);
                ASSERT_EQ(s != nullptr, ticked && corner.Error == 0 && (speed || chart == w->CurrentChart)) << index;
                if (!s)
                    continue;
                const ChartCurves& samples = dol ? corner.Dynamic.DolChart : corner.Dynamic.SoftStarterChart;
                const std::vector<double>& v = speed ? samples.Values.Speed : samples.Values.Current;
                const auto points = SeriesPoints(chart, index);
                ASSERT_EQ(points.size(), samples.Times.size());
                for (std::size_t k = 0; k < points.size(); k += 7)
                    EXPECT_EQ(points[k], std::make_pair(samples.Times[k], v[k])) << index << " point " << k;
                EXPECT_TRUE(s->LineStyle() == psDot && !s->DrawPoints());
                EXPECT_EQ(s->LineColor(), dol ? QColor(0, 0, 255) : QColor(255, 0, 0));
            }
        if (!ticked)
            continue;
        const Language language = c.french ? Language::French : Language::English;
        const QString head = c.french ? QString::fromUtf8("Coins de tolérance (") : "Tolerance Corners (";
        EXPECT_EQ(w->CornersDol->text(),
                  head + "DOL) : " + FromStd(CornerRange(e, false, language, SystemDecimalSeparator())));
        EXPECT_EQ(w->CornersSoft->text(), head + w->HeadSoft->text() + ") : " +
                                              FromStd(CornerRange(e, true, language, SystemDecimalSeparator())));
        EXPECT_EQ(w->CornersDol->text().contains(c.french ? "lourd : erreur 18" : "heavy: error 18"), c.heavyRefused);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Motors, ToleranceCornersWindowTest,
    ::testing::Values(
        CornersCase{"BothCornersFit", Motor11kW, 7.9, 2.5, 2.8, false, false, false, FitPriority::Torque, ""},
        CornersCase{"BothCornersFitOnANetwork", Motor11kW, 7.9, 2.5, 2.8, false, false, true, FitPriority::Torque,
                    "Data-Sheet Fit : torque priority (a lower starting current may flatter the dip)"},
        // The 4 kW motor at its typical Ia/In: the heavy corner's fit is refused.
        CornersCase{"HeavyCornerRefusedFrench", Motor{.speed = "1430"}, 6.4, 2.5, 2.9, true, true, true,
                    FitPriority::Current, "Ajustement au catalogue : priorité au courant (pour les creux de tension)"}),
    [](const auto& info) { return std::string(info.param.name); });
