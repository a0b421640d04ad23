// The dynamic start window with a data sheet's motor: ticked, the tolerance corners are drawn as
// dotted lines in the colours of their starts and their run-up times are summed up in the panel as
// the command line says them (a refused corner with its number); unticked, or without a data
// sheet, the window is as before; through a network the panel names the fit's priority.

#include "DynamicFixture.h"

#include "MainCharts.h"
#include "TextToReal.h"
#include "ToleranceCorners.h"
#include "xyGraph.h"

#include <QCheckBox>

namespace {

struct CornersCase {
    const char* name;
    Motor motor;
    double ia, ta, tk;
    bool french;
    bool heavyRefused;
};

const CornersCase CornersCases[] = {
    // An 11 kW two-pole motor whose both corners fit.
    {"BothCornersFit",
     Motor{.power = "11000", .current = "19.6", .powerFactor = "0.89", .speed = "2935", .star = false,
           .approximate = true},
     7.9, 2.5, 2.8, false, false},
    // The 4 kW motor at its typical Ia/In: the heavy corner's fit is refused.
    {"HeavyCornerRefusedFrench", Motor{.speed = "1430"}, 6.4, 2.5, 2.9, true, true},
};

class ToleranceCornersWindowTest : public DynamicUiTest, public ::testing::WithParamInterface<CornersCase> {
  protected:
    static std::vector<int> CornerSeries(TxyGraph* chart)
    {
        std::vector<int> found;
        for (int index = DynamicSeries::DolWeak; index <= DynamicSeries::SoftHeavy; ++index)
            if (chart->FindSeries(index))
                found.push_back(index);
        return found;
    }
};

} // namespace

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
    UseDatasheet(c.ia, c.ta, c.tk, TextToReal(ToStd(c.motor.speed)));
    OpenDynamicWindow();
    TDynamicStartForm* w = DynamicStartForm;
    TxyGraph* charts[] = {w->SpeedChart, w->CurrentChart, w->TorqueChart, w->VoltageChart};

    // Offered, not ticked: the window as without it.
    ASSERT_TRUE(w->CornersBox->isVisible());
    EXPECT_EQ(w->CornersBox->text(), c.french ? QString::fromUtf8("Coins de tolérance (CEI 60034-1)")
                                              : "Tolerance corners (IEC 60034-1)");
    EXPECT_FALSE(w->CornersBox->isChecked());
    EXPECT_FALSE(w->HasCorners());
    for (TxyGraph* chart : charts)
        EXPECT_TRUE(CornerSeries(chart).empty());
    EXPECT_FALSE(w->CornersDol->isVisible());
    const QString legend = w->LegendDashed->text();

    w->CornersBox->setChecked(true);
    Pump();
    ASSERT_TRUE(w->HasCorners());
    const ToleranceCorners e = ComputeToleranceCorners(MotorData, DynamicData, 0, DynamicChartPoints);
    EXPECT_EQ(w->Corners().Weak.Error, 0);
    EXPECT_EQ(w->Corners().Heavy.Error, e.Heavy.Error);
    EXPECT_EQ(e.Heavy.Error != 0, c.heavyRefused);
    // Speed and current: each corner that fits, dotted in its start's colour, point for point.
    struct Drawn {
        int index;
        const ToleranceCorner& corner;
        bool dol;
    };
    const Drawn drawn[] = {{DynamicSeries::DolWeak, e.Weak, true},
                           {DynamicSeries::DolHeavy, e.Heavy, true},
                           {DynamicSeries::SoftWeak, e.Weak, false},
                           {DynamicSeries::SoftHeavy, e.Heavy, false}};
    for (TxyGraph* chart : {w->SpeedChart, w->CurrentChart}) {
        const bool speed = chart == w->SpeedChart;
        EXPECT_EQ(CornerSeries(chart).size(), c.heavyRefused ? 2u : 4u);
        for (const Drawn& d : drawn) {
            const TSeries* s = chart->FindSeries(d.index);
            if (d.corner.Error != 0) {
                EXPECT_EQ(s, nullptr);
                continue;
            }
            ASSERT_NE(s, nullptr) << d.index;
            const ChartCurves& samples = d.dol ? d.corner.Dynamic.DolChart : d.corner.Dynamic.SoftStarterChart;
            const std::vector<double>& values = speed ? samples.Values.Speed : samples.Values.Current;
            const auto points = SeriesPoints(chart, d.index);
            ASSERT_EQ(points.size(), samples.Times.size());
            for (std::size_t k = 0; k < points.size(); k += 7)
                EXPECT_EQ(points[k], std::make_pair(samples.Times[k], values[k])) << d.index << " point " << k;
            EXPECT_EQ(s->LineStyle(), psDot);
            EXPECT_FALSE(s->DrawPoints());
            EXPECT_EQ(s->LineColor(), d.dol ? QColor(0, 0, 255) : QColor(255, 0, 0));
        }
    }
    EXPECT_TRUE(CornerSeries(w->TorqueChart).empty());
    EXPECT_TRUE(CornerSeries(w->VoltageChart).empty());
    // The panel: each start's line in the command line's words.
    const Language language = c.french ? Language::French : Language::English;
    const QString head = c.french ? QString::fromUtf8("Coins de tolérance") : "Tolerance Corners";
    EXPECT_TRUE(w->CornersDol->isVisible());
    EXPECT_EQ(w->CornersDol->text(),
              head + " (DOL) : " + FromStd(CornerRange(e, false, language, SystemDecimalSeparator())));
    EXPECT_EQ(w->CornersSoft->text(), head + " (" + w->HeadSoft->text() + ") : " +
                                          FromStd(CornerRange(e, true, language, SystemDecimalSeparator())));
    const QString runUp = (c.french ? QString::fromUtf8("démarrage ") : "run-up ") +
                          FixedText(std::min(*e.Weak.Dynamic.Dol.RunUpTime, c.heavyRefused ? HUGE_VAL
                                                                          : *e.Heavy.Dynamic.Dol.RunUpTime),
                                    3) +
                          " s";
    EXPECT_TRUE(w->CornersDol->text().contains(runUp)) << ToStd(w->CornersDol->text());
    EXPECT_EQ(w->CornersDol->text().contains(c.french ? "lourd : erreur 18" : "heavy: error 18"), c.heavyRefused);
    EXPECT_NE(w->LegendDashed->text(), legend);

    // Unticked, they go.
    w->CornersBox->setChecked(false);
    Pump();
    EXPECT_FALSE(w->HasCorners());
    for (TxyGraph* chart : charts)
        EXPECT_TRUE(CornerSeries(chart).empty());
    EXPECT_FALSE(w->CornersDol->isVisible());
    EXPECT_FALSE(w->CornersSoft->isVisible());
    EXPECT_EQ(w->LegendDashed->text(), legend);
}

INSTANTIATE_TEST_SUITE_P(Motors, ToleranceCornersWindowTest, ::testing::ValuesIn(CornersCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DynamicUiTest, TheDipPanelSaysWhichPriorityTheMotorWasFittedWith)
{
    struct Case {
        bool datasheet, network, french;
        FitPriority priority;
        const char* line; // empty: no line
    } cases[] = {
        {true, true, false, FitPriority::Torque,
         "Data-Sheet Fit : torque priority (a lower starting current may flatter the dip)"},
        {true, true, true, FitPriority::Current,
         "Ajustement au catalogue : priorité au courant (pour les creux de tension)"},
        {true, false, false, FitPriority::Torque, ""},
        {false, true, false, FitPriority::Torque, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TearDown();
        SetUp();
        RunWorkflowWithLoad(LoadKind::None, "0", "0", "0", c.french);
        if (c.network)
            SetWeakTransformer();
        if (c.datasheet)
            UseDatasheet(5.5, 2.5, 2.9, 1430, c.priority);
        OpenDynamicWindow();
        const TDynamicStartForm* w = DynamicStartForm;
        ASSERT_TRUE(w->HasResults());
        EXPECT_EQ(w->FitText->isVisible(), *c.line != 0);
        if (*c.line) {
            EXPECT_EQ(w->FitText->text(), QString::fromUtf8(c.line));
        }
        // A motor without a data sheet is not offered the corners.
        EXPECT_EQ(w->CornersBox->isVisible(), c.datasheet);
        EXPECT_FALSE(w->CornersDol->isVisible());
    }
}
