// The dynamic start window: what to do before any results, computing when shown after changes
// made while hidden, every number of the panel and every chart point as the computation gives
// them, a stall shown in red with its speed, a refused computation keeping the last results,
// French texts with French units, charts that grow with the window, and a voltage axis with room
// above 1.0.

#include "DynamicFixture.h"

#include "Compare.h"
#include "DynamicCharts.h"
#include "ErrorMessages.h"
#include "MainCharts.h"
#include "TextToReal.h"
#include "xyGraph.h"

#include <QRegularExpression>
#include <QTableWidget>

#include <algorithm>

namespace {

// The points of a series as the chart holds them, against the chart samples they come from.
void ExpectSeries(TxyGraph* chart, int series, const std::vector<double>& times,
                  const std::vector<double>& values)
{
    const auto points = SeriesPoints(chart, series);
    ASSERT_EQ(points.size(), times.size()) << chart->objectName().toStdString() << " series " << series;
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_EQ(points[k].first, times[k]);
        EXPECT_EQ(points[k].second, values[k]) << chart->objectName().toStdString() << " point " << k;
    }
}

// Every field of the panel shows a number or the dash, never "nan" or "inf".
void ExpectNoNonFinite(const TDynamicStartForm* w)
{
    for (int row = 0; row < TDynamicStartForm::RowCount; ++row)
        for (const QLineEdit* e : {w->DolValue[row], w->SoftValue[row]}) {
            const QString t = e->text();
            if (t == NoValueText())
                continue;
            EXPECT_NO_THROW(TextToReal(ToStd(t))) << e->objectName().toStdString() << ": " << ToStd(t);
        }
}

} // namespace

TEST_F(DynamicUiTest, BeforeAnyResultsTheWindowSaysWhatToDoFirst)
{
    ChooseLanguage(false);
    OpenDynamicWindow();
    EXPECT_FALSE(DynamicStartForm->HasResults());
    EXPECT_TRUE(DynamicStartForm->Notice->isVisible());
    EXPECT_TRUE(DynamicStartForm->Notice->text().startsWith(
        "No results yet. First choose the motor, the soft-starter and the load"));
    EXPECT_FALSE(DynamicStartForm->SpeedChart->isVisible());
    EXPECT_FALSE(DynamicStartForm->Panel->isVisible());
    EXPECT_EQ(MotorData.ErrorNumber, 0); // no error box for a window opened early
    // Once the results exist, the open window shows both starts. The user goes back to the main
    // window, whose menus open the dialogs and whose activation computes.
    ComeBackTo(Form1);
    EnterMotor();
    Click(Form1->Button2);
    SetLimitMode("3");
    Click(Form1->Button3);
    SetLoad(LoadKind::None);
    ASSERT_TRUE(DynamicStartForm->HasResults());
    EXPECT_FALSE(DynamicStartForm->Notice->isVisible());
    EXPECT_TRUE(DynamicStartForm->SpeedChart->isVisible());
    EXPECT_TRUE(DynamicStartForm->Panel->isVisible());
}

TEST_F(DynamicUiTest, ChangesWhileHiddenAreComputedWhenShown)
{
    RunWorkflowWithLoad(LoadKind::None);
    EXPECT_TRUE(DynamicStartForm->Stale());
    EXPECT_FALSE(DynamicStartForm->HasResults());
    OpenDynamicWindow();
    EXPECT_FALSE(DynamicStartForm->Stale());
    ASSERT_TRUE(DynamicStartForm->HasResults());
    const double first = *DynamicStartForm->Results().Dol.RunUpTime;

    // Hidden, the window only notes the change; a new load is computed when it is shown again.
    DynamicStartForm->CloseForm();
    Pump();
    Trigger(Form1->Load);
    SetLoad(LoadKind::Squared, "0", "0", Dec("0.0117"));
    ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    EXPECT_TRUE(DynamicStartForm->Stale());
    EXPECT_EQ(*DynamicStartForm->Results().Dol.RunUpTime, first);
    OpenDynamicWindow();
    EXPECT_FALSE(DynamicStartForm->Stale());
    EXPECT_EQ(DynamicStartForm->Results().Dol.RunUpTime, Expected().Dol.RunUpTime);
    EXPECT_GT(*DynamicStartForm->Results().Dol.RunUpTime, first);
}

TEST_F(DynamicUiTest, PanelAndChartsShowTheComputationOfBothStarts)
{
    RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.0117"));
    SetMechanical({}, "0.1");
    OpenDynamicWindow();
    const DynamicResults e = Expected();
    const TDynamicStartForm* w = DynamicStartForm;
    struct Start {
        const StartOutcome& o;
        QLineEdit* const* values;
        QLabel* status;
    };
    for (const Start& s :
         {Start{e.Dol, w->DolValue, w->StatusDol}, Start{e.SoftStarter, w->SoftValue, w->StatusSoft}}) {
        ASSERT_FALSE(s.o.Stalled);
        EXPECT_EQ(s.status->text(), "Runs up");
        EXPECT_NE(TextColour(s.status), QColor(255, 0, 0));
        EXPECT_EQ(s.values[TDynamicStartForm::RunUpTime]->text(), Value(s.o.RunUpTime, 3));
        EXPECT_EQ(s.values[TDynamicStartForm::PeakCurrent]->text(), Value(s.o.PeakLineCurrent, 1));
        EXPECT_EQ(s.values[TDynamicStartForm::PeakCurrentRatio]->text(), Value(s.o.PeakCurrentRatio, 2));
        EXPECT_EQ(s.values[TDynamicStartForm::MinTorque]->text(), Value(s.o.MinAcceleratingTorqueRatio, 2));
        EXPECT_EQ(s.values[TDynamicStartForm::RotorEnergy]->text(), Value(s.o.RotorEnergy, 0));
        EXPECT_EQ(s.values[TDynamicStartForm::StatorEnergy]->text(), Value(s.o.StatorEnergy, 0));
        EXPECT_EQ(s.values[TDynamicStartForm::OperatingSpeed]->text(), Value(s.o.OperatingSpeed, 1));
        EXPECT_EQ(s.values[TDynamicStartForm::MaxDip]->text(), FixedText(0, 2)); // stiff supply
        EXPECT_EQ(s.values[TDynamicStartForm::MinVoltage]->text(), FixedText(s.o.MinMotorVoltage, 2));
    }
    // The peak current in amperes is the ratio times the rated line current.
    EXPECT_NEAR(*e.Dol.PeakLineCurrent, *e.Dol.PeakCurrentRatio * MotorData.LineCurrent, 1e-9);
    ExpectNoNonFinite(w);

    const ChartCurves &dol = e.DolChart, &soft = e.SoftStarterChart;
    ASSERT_GE(dol.Times.size(), std::size_t(DynamicChartPoints));
    ExpectSeries(w->SpeedChart, DynamicSeries::Dol, dol.Times, dol.Values.Speed);
    ExpectSeries(w->SpeedChart, DynamicSeries::SoftStarter, soft.Times, soft.Values.Speed);
    ExpectSeries(w->CurrentChart, DynamicSeries::Dol, dol.Times, dol.Values.Current);
    ExpectSeries(w->CurrentChart, DynamicSeries::SoftStarter, soft.Times, soft.Values.Current);
    ExpectSeries(w->TorqueChart, DynamicSeries::Dol, dol.Times, dol.Values.Torque);
    ExpectSeries(w->TorqueChart, DynamicSeries::SoftStarter, soft.Times, soft.Values.Torque);
    ExpectSeries(w->TorqueChart, DynamicSeries::DolExtra, dol.Times, dol.Values.LoadTorque);
    ExpectSeries(w->TorqueChart, DynamicSeries::SoftExtra, soft.Times, soft.Values.LoadTorque);
    ExpectSeries(w->VoltageChart, DynamicSeries::Dol, dol.Times, dol.Values.Voltage);
    ExpectSeries(w->VoltageChart, DynamicSeries::SoftStarter, soft.Times, soft.Values.Voltage);
    // On the stiff supply there is no busbar to draw.
    EXPECT_EQ(w->VoltageChart->FindSeries(DynamicSeries::DolExtra), nullptr);
    // Direct-on-line blue, soft-starter red with marks, as in the main window.
    EXPECT_EQ(w->SpeedChart->GetSeries(DynamicSeries::Dol).LineColor(), QColor(0, 0, 255));
    EXPECT_EQ(w->SpeedChart->GetSeries(DynamicSeries::SoftStarter).LineColor(), QColor(255, 0, 0));
    EXPECT_TRUE(w->SpeedChart->GetSeries(DynamicSeries::SoftStarter).DrawPoints());
    EXPECT_EQ(w->TorqueChart->GetSeries(DynamicSeries::DolExtra).LineStyle(), psDash);
    EXPECT_TRUE(w->InertiaText->text().contains(QStringLiteral("load %1 kg").arg(Dec("0.1"))));
    EXPECT_FALSE(w->StallNote->isVisible());
    EXPECT_TRUE(w->SupplyText->text().startsWith("Supply: stiff"));
    // Without a data sheet: no tolerance corners to offer, no fit to name.
    EXPECT_FALSE(w->CornersBox->isVisible() || w->FitText->isVisible() || w->CornersDol->isVisible());
}

TEST_F(DynamicUiTest, AStallIsShownInRedWithItsSpeed)
{
    // The load crosses the motor's torque curve below the operating speed: it passes the load
    // dialog's check at synchronous speed, and the start stalls at the crossing.
    RunWorkflowWithLoad(LoadKind::Squared, "105", "12", Dec("-0.6"));
    OpenDynamicWindow();
    const DynamicResults e = Expected();
    ASSERT_TRUE(e.Dol.Stalled);
    ASSERT_TRUE(e.Dol.StallSpeed.has_value());
    EXPECT_NEAR(*e.Dol.StallSpeed, 624.8, 0.1);
    const TDynamicStartForm* w = DynamicStartForm;
    EXPECT_EQ(w->StatusDol->text(), QStringLiteral("Stalls at %1 rpm").arg(FixedText(*e.Dol.StallSpeed, 1)));
    EXPECT_EQ(TextColour(w->StatusDol), QColor(255, 0, 0));
    EXPECT_EQ(TextColour(w->StatusSoft), QColor(255, 0, 0));
    for (int row : {TDynamicStartForm::RunUpTime, TDynamicStartForm::MinTorque, TDynamicStartForm::RotorEnergy,
                    TDynamicStartForm::StatorEnergy})
        EXPECT_EQ(w->DolValue[row]->text(), NoValueText()) << row;
    ExpectNoNonFinite(w);
    // Capped at 3 In, the soft-starter never breaks away from this load: the window says where its
    // rotor ends, below the stall speed at full voltage that both starts report.
    ASSERT_TRUE(e.SoftStarter.Stalled);
    EXPECT_EQ(e.SoftStarter.StallSpeed, e.Dol.StallSpeed);
    const double softEnd = e.SoftStarterChart.Values.Speed.back() * MotorData.SynchronousSpeed * 60;
    ASSERT_LT(softEnd, *e.SoftStarter.StallSpeed - 1);
    EXPECT_TRUE(w->StallNote->isVisible());
    EXPECT_EQ(w->StallNote->text(),
              QStringLiteral("Peak current in italics: the largest current of a start that does not run up, over "
                             "the 60 s shown; operating speed struck out: not reached.\n"
                             "With Soft-Starter: the rotor reaches only %1 rpm by the start-time limit of 60 s.")
                  .arg(FixedText(softEnd, 1)));
    // Each start's peak over the 60 s in grey italics; the operating speed it never reaches struck out.
    for (const auto& [o, values] : {std::pair{&e.Dol, w->DolValue}, std::pair{&e.SoftStarter, w->SoftValue}}) {
        EXPECT_EQ(values[TDynamicStartForm::PeakCurrent]->text(), Value(o->StalledPeakLineCurrent, 1));
        EXPECT_EQ(values[TDynamicStartForm::PeakCurrentRatio]->text(), Value(o->StalledPeakCurrentRatio, 2));
        EXPECT_TRUE(values[TDynamicStartForm::PeakCurrentRatio]->font().italic());
        EXPECT_EQ(TextColour(values[TDynamicStartForm::PeakCurrent]), QColor(100, 100, 100));
        EXPECT_EQ(values[TDynamicStartForm::OperatingSpeed]->text(), Value(o->OperatingSpeed, 1));
        EXPECT_TRUE(values[TDynamicStartForm::OperatingSpeed]->font().strikeOut());
    }
    // The charts run to the start-time limit.
    EXPECT_EQ(e.DolChart.Times.back(), DynamicData.Mechanical.StartTimeLimit);
    ExpectSeries(w->SpeedChart, DynamicSeries::Dol, e.DolChart.Times, e.DolChart.Values.Speed);

    // A start that runs up again shows its marks no more.
    ComeBackTo(Form1);
    Trigger(Form1->Load);
    SetLoad(LoadKind::Squared, "0", "0", Dec("0.0117"));
    ASSERT_FALSE(DynamicStartForm->Results().Dol.Stalled);
    EXPECT_FALSE(w->DolValue[TDynamicStartForm::PeakCurrent]->font().italic());
    EXPECT_FALSE(w->DolValue[TDynamicStartForm::OperatingSpeed]->font().strikeOut());
    EXPECT_FALSE(w->StallNote->isVisible());
}

TEST_F(DynamicUiTest, AStartThatRunsOutOfTimeSaysSo)
{
    // A heavy inertia and a short limit: neither start reaches its speed in time.
    RunWorkflowWithLoad(LoadKind::None);
    OpenDynamicWindow();
    SetMechanical("50", "0", "1");
    const DynamicResults e = Expected();
    ASSERT_TRUE(e.Dol.TooLong);
    EXPECT_EQ(DynamicStartForm->StatusDol->text(),
              QStringLiteral("Too long: %1 rpm at the 1 s limit").arg(FixedText(*e.Dol.StallSpeed, 1)));
    EXPECT_EQ(TextColour(DynamicStartForm->StatusDol), QColor(255, 0, 0));
}

TEST_F(DynamicUiTest, ARefusedComputationShowsItsNumberAndKeepsTheLastResults)
{
    RunWorkflowWithLoad(LoadKind::Constant, "20");
    OpenDynamicWindow();
    // Every dialog refuses what the computation cannot use, so a setting put in place behind their
    // back stands for a refusal that only the computation finds.
    ComeBackTo(Form1);
    Trigger(Form1->SoftStarter);
    SetTimeMode("30", "10", "10");
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    ASSERT_TRUE(DynamicStartForm->HasResults());
    const DynamicResults before = DynamicStartForm->Results();
    DynamicData.Mechanical.LoadInertia = 1e308;
    Form1->NotifyDynamicInputsChanged();
    Pump();
    ASSERT_EQ(MotorData.ErrorNumber, ErrValueOutOfRange) << ErrorText().toStdString();
    EXPECT_TRUE(ErrorShown());
    EXPECT_TRUE(ErrorText().startsWith("The value of \"Load Inertia\" must lie between"))
        << ErrorText().toStdString();
    AcknowledgeError();
    ASSERT_TRUE(DynamicStartForm->HasResults());
    EXPECT_EQ(DynamicStartForm->Results().Dol.RunUpTime, before.Dol.RunUpTime);
    EXPECT_EQ(DynamicStartForm->DolValue[TDynamicStartForm::RunUpTime]->text(),
              Value(before.Dol.RunUpTime, 3));
    EXPECT_TRUE(DynamicStartForm->Notice->isVisible());
    EXPECT_TRUE(DynamicStartForm->Notice->text().contains("error 228"));
    // A setting that can be computed again clears the note.
    SetMechanical(Dec("0.02"), "0", "60");
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(DynamicStartForm->Notice->isVisible());
}

TEST_F(DynamicUiTest, DynamicStartWindowInFrench)
{
    RunWorkflowWithLoad(LoadKind::Squared, "105", "12", Dec("-0.6"), true);
    EXPECT_EQ(Form1->DisplayDynamic->text(), QString::fromUtf8("Afficher le démarrage &dynamique"));
    OpenDynamicWindow();
    const TDynamicStartForm* w = DynamicStartForm;
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Démarrage dynamique"));
    EXPECT_EQ(ChartTitle(w->SpeedChart), "Vitesse");
    EXPECT_EQ(ChartTitle(w->TorqueChart), "Couple");
    EXPECT_EQ(w->HeadSoft->text(), "Avec Soft-Starter");
    EXPECT_EQ(w->RowName[TDynamicStartForm::RunUpTime]->text(), QString::fromUtf8("Temps de démarrage"));
    const DynamicResults e = Expected();
    EXPECT_EQ(w->StatusDol->text(), QString::fromUtf8("Cale à %1 tr/min").arg(FixedText(*e.Dol.StallSpeed, 1)));
    EXPECT_TRUE(w->StallNote->text().startsWith(
        QString::fromUtf8("Courant de crête en italique : le plus grand courant d'un démarrage qui n'aboutit pas, "
                          "sur les 60 s affichées ; vitesse de fonctionnement barrée : non atteinte.\n")))
        << w->StallNote->text().toStdString();
    EXPECT_EQ(w->DolValue[TDynamicStartForm::OperatingSpeed]->toolTip(), QString::fromUtf8("Non atteinte"));
    EXPECT_TRUE(w->InertiaText->text().contains(QString::fromUtf8("valeur typique pour un moteur de 4 kW")));
    EXPECT_TRUE(w->SupplyText->text().startsWith(QString::fromUtf8("Alimentation : réseau rigide")));
}

TEST_F(DynamicUiTest, TheChartsGrowWithTheWindow)
{
    RunWorkflowWithLoad(LoadKind::None);
    OpenDynamicWindow();
    DynamicStartForm->resize(900, 600);
    Pump();
    const QSize small = DynamicStartForm->SpeedChart->size();
    const QSize panel = DynamicStartForm->Panel->size();
    DynamicStartForm->resize(1400, 1000);
    Pump();
    for (TxyGraph* chart : {DynamicStartForm->SpeedChart, DynamicStartForm->CurrentChart,
                            DynamicStartForm->TorqueChart, DynamicStartForm->VoltageChart}) {
        EXPECT_GT(chart->width(), small.width() + 200) << chart->objectName().toStdString();
        EXPECT_GT(chart->height(), small.height() + 150) << chart->objectName().toStdString();
    }
    // The panel keeps its width; the room goes to the charts, which draw at their new size.
    EXPECT_EQ(DynamicStartForm->Panel->width(), panel.width());
    const QImage picture = DynamicStartForm->SpeedChart->RenderImage();
    EXPECT_EQ(picture.size(), DynamicStartForm->SpeedChart->size());
}

TEST_F(DynamicUiTest, ActivatingTheWindowKeepsTheDrawnCharts)
{
    RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.0117"));
    OpenDynamicWindow();
    Pump();
    TxyGraph* charts[] = {DynamicStartForm->SpeedChart, DynamicStartForm->CurrentChart,
                          DynamicStartForm->TorqueChart, DynamicStartForm->VoltageChart};
    std::vector<QImage> before;
    int draws = 0;
    for (TxyGraph* chart : charts) {
        before.push_back(chart->grab().toImage());
        chart->OnPaintStart = [&draws](TxyGraph&, QPainter&) { ++draws; };
    }
    DynamicStartForm->FormActivate();
    DynamicStartForm->FormActivate();
    Pump();
    for (std::size_t k = 0; k < std::size(charts); ++k) {
        EXPECT_EQ(charts[k]->grab().toImage(), before[k]) << charts[k]->objectName().toStdString();
        charts[k]->OnPaintStart = nullptr;
    }
    // The texts did not change, so the drawn pictures were kept.
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(ChartTitle(DynamicStartForm->SpeedChart), "Speed");
    EXPECT_EQ(DynamicStartForm->VoltageChart->YAxis().Title(), "U/Un");
}

TEST_F(DynamicUiTest, AStallAtStandstillDrawsFlatCurvesOnValidAxes)
{
    // Above the locked-rotor torque at rest, carried at synchronous speed: neither start moves.
    RunWorkflowWithLoad(LoadKind::Squared, "170", "0", Dec("-0.26"));
    OpenDynamicWindow();
    const DynamicResults e = Expected();
    ASSERT_TRUE(e.Dol.Stalled);
    EXPECT_EQ(*e.Dol.StallSpeed, 0);
    EXPECT_EQ(DynamicStartForm->StatusDol->text(), QStringLiteral("Stalls at %1 rpm").arg(FixedText(0, 1)));
    for (TxyGraph* chart : {DynamicStartForm->SpeedChart, DynamicStartForm->CurrentChart,
                            DynamicStartForm->TorqueChart, DynamicStartForm->VoltageChart}) {
        chart->Rescale();
        EXPECT_TRUE(chart->ScalesValid()) << chart->objectName().toStdString();
    }
    EXPECT_EQ(SeriesPoints(DynamicStartForm->SpeedChart, DynamicSeries::Dol).back().second, 0);
}

TEST_F(DynamicUiTest, TheVoltageAxisLeavesRoomAboveTheHighestVoltage)
{
    RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.1"));
    OpenDynamicWindow();
    // Stiff (the motor at 1.0), a weak transformer (just below), a source above the motor's rating.
    for (const char* source : {"", "400", "440"}) {
        if (*source) {
            SetWeakTransformer();
            Trigger(Form1->Network1);
            NetworkForm->VoltageEdit->setText(source);
            Click(NetworkForm->Button1);
        }
        const DynamicResults e = Expected();
        double highest = 0;
        for (const StartCurves* c : {&e.DolChart.Values, &e.SoftStarterChart.Values})
            for (const std::vector<double>* v : {&c->Voltage, &c->BusVoltage})
                highest = std::max(highest, *std::max_element(v->begin(), v->end()));
        EXPECT_GT(highest, 0.95) << source;
        EXPECT_GE(DynamicStartForm->VoltageChart->YAxis().Max(), std::max(VoltageAxisTop, 1.05 * highest)) << source;
        EXPECT_FALSE(DynamicStartForm->FitText->isVisible()); // no data sheet, no fit to name
    }
}

TEST_F(DynamicUiTest, SpeedsAreInRpmAndInFrenchInTrMin)
{
    for (const bool french : {false, true}) {
        RestartForms();
        Form1->show();
        RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.1"), french);
        SetMechanical("50", "0", "1"); // too long: the speed it reaches is shown
        OpenDynamicWindow();
        Trigger(Form1->CompareMethods);
        const QString unit = french ? "tr/min" : "rpm";
        EXPECT_EQ(DynamicStartForm->RowUnit[TDynamicStartForm::OperatingSpeed]->text(), unit);
        QStringList texts;
        for (const QWidget* window : {static_cast<QWidget*>(DynamicStartForm), static_cast<QWidget*>(CompareForm)})
            for (const QLabel* label : window->findChildren<QLabel*>())
                texts << label->text();
        for (int r = 0; r < CompareForm->Table->rowCount(); ++r)
            for (int c = 0; c < CompareForm->Table->columnCount(); ++c)
                texts << CompareForm->Table->item(r, c)->text();
        // The stalls, the changeovers and the outcomes give their speeds in the language's unit.
        const QString all = texts.join('\n');
        EXPECT_GE(all.count(QRegularExpression("\\d " + unit + "\\b")), 6) << ToStd(all);
        EXPECT_EQ(all.contains("rpm"), !french) << ToStd(all);
    }
}
