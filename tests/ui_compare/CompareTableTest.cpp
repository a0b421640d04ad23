// The comparison window's table and charts against the computation: values, best marks, a method
// that does not apply, a stalled method, the legend, French texts and resizing.

#include "CompareFixture.h"
#include "DynamicTexts.h"
#include "Pictures.h"

#include "TextToReal.h"

namespace {

using Col = TCompareForm;

// The outcome value each number column shows (rotor energy in kJ), null where the table has a dash;
// a stalled method's peak over the start-time limit.
std::optional<double> ColumnValue(const MethodOutcome& m, int column) {
    if (!m.Applicable) return std::nullopt;
    const StartOutcome& o = m.Outcome;
    switch (column) {
    case Col::ColPeakCurrent:
        return o.Stalled ? o.StalledPeakLineCurrent : o.PeakLineCurrent;
    case Col::ColPeakRatio:
        return o.Stalled ? o.StalledPeakCurrentRatio : o.PeakCurrentRatio;
    case Col::ColStartingTorque:
        return o.StartingTorqueRatio;
    case Col::ColMinTorque:
        return o.MinAcceleratingTorqueRatio;
    case Col::ColRunUp:
        return o.RunUpTime;
    case Col::ColRotorEnergy:
        return o.RotorEnergy ? std::optional<double>(*o.RotorEnergy / 1000) : std::nullopt;
    case Col::ColDip:
        return o.MaxVoltageDip;
    default:
        return std::nullopt;
    }
}

const int NumberColumns[] = {Col::ColPeakCurrent, Col::ColPeakRatio, Col::ColStartingTorque,
                             Col::ColMinTorque,   Col::ColRunUp,     Col::ColRotorEnergy,
                             Col::ColDip};

} // namespace

class CompareTable : public CompareTest {
  protected:
    // Every number cell holds the computation's value, shows it readably with this system's
    // separator, and is marked best exactly where the value is the best of the methods that run up.
    static void ExpectTableMatches(const ComparisonResults& expected) {
        for (int column : NumberColumns) {
            std::optional<double> best;
            for (const MethodOutcome& m : expected.Methods) {
                const std::optional<double> v = ColumnValue(m, column);
                if (!m.Applicable || m.Outcome.Stalled || !v) continue;
                const bool highest = !LowestBest().count(column);
                if (!best || (highest ? *v > *best : *v < *best)) best = v;
            }
            for (int r = 0; r < StartingMethodCount; ++r) {
                SCOPED_TRACE("row " + std::to_string(r) + ", column " + std::to_string(column));
                const MethodOutcome& m = expected.Methods[r];
                const std::optional<double> v = ColumnValue(m, column);
                ASSERT_EQ(CellValue(r, column).has_value(), v.has_value());
                const QString text = Cell(r, column)->text();
                if (!v) {
                    EXPECT_EQ(text, QString::fromUtf8("—"));
                    EXPECT_FALSE(IsBest(r, column));
                    continue;
                }
                EXPECT_EQ(*CellValue(r, column), *v);
                EXPECT_NEAR(TextToReal(text.toStdString()), *v, 0.006 * std::max(1.0, std::fabs(*v)));
                EXPECT_FALSE(text.contains(SystemDecimalSeparator() == ',' ? '.' : ','));
                const bool isBest = !m.Outcome.Stalled && best && *v == *best;
                EXPECT_EQ(IsBest(r, column), isBest);
                EXPECT_EQ(Cell(r, column)->font().bold(), isBest);
                // A stalled method's peak in italics.
                const bool peak = column == Col::ColPeakCurrent || column == Col::ColPeakRatio;
                EXPECT_EQ(Cell(r, column)->font().italic(), peak && m.Outcome.Stalled);
            }
        }
    }
};

TEST_F(CompareTable, CatalogueMotorWithAFanLoad) {
    CatalogueFanWorkflow();
    OpenCompare();
    ASSERT_TRUE(CompareForm->isVisible());
    ASSERT_TRUE(CompareForm->HasResults());
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    EXPECT_EQ(CompareForm->windowTitle(), "Compare Starting Methods");
    EXPECT_TRUE(CompareForm->Table->isVisible());
    EXPECT_FALSE(CompareForm->Status->isVisible());
    EXPECT_TRUE(CompareForm->Caption->text().contains("160M 4p"));

    const ComparisonResults expected = Expected();
    for (const MethodOutcome& m : expected.Methods)
        ASSERT_TRUE(m.Applicable && !m.Outcome.Stalled) << MethodKey(m.Method);
    ExpectTableMatches(expected);
    // Without a network every dip is 0 and the column is left out.
    EXPECT_TRUE(CompareForm->Table->isColumnHidden(Col::ColDip));

    // What the physics says about the marks: direct-on-line has the highest starting torque and
    // the shortest run-up, never the lowest current; a reduced start draws less.
    EXPECT_TRUE(IsBest(Dol, Col::ColStartingTorque));
    EXPECT_TRUE(IsBest(Dol, Col::ColRunUp));
    EXPECT_FALSE(IsBest(Dol, Col::ColPeakCurrent));
    EXPECT_LT(*CellValue(StarDelta, Col::ColPeakCurrent), *CellValue(Dol, Col::ColPeakCurrent));
    // Methods may tie: the three reduced starts change over at the same speed to the same full
    // voltage, and a ramp whose current stays under the limit is the current-limit start.
    int marked = 0;
    for (int r = 0; r < StartingMethodCount; ++r)
        marked += IsBest(r, Col::ColPeakCurrent);
    EXPECT_GE(marked, 1);

    for (int r = 0; r < StartingMethodCount; ++r) {
        EXPECT_EQ(Cell(r, Col::ColOutcome)->text(), "Runs up");
        EXPECT_FALSE(IsRed(Cell(r, Col::ColOutcome)));
        const MethodOutcome& m = expected.Methods[r];
        if (r == StarDelta || r == Autotransformer || r == Reactor) {
            ASSERT_TRUE(m.ChangeoverSpeed && m.ChangeoverTime);
            EXPECT_EQ(*CellValue(r, Col::ColChangeover), *m.ChangeoverSpeed);
            EXPECT_TRUE(Cell(r, Col::ColChangeover)->text().contains(FixedText(*m.ChangeoverSpeed, 0)));
        } else {
            EXPECT_TRUE(Cell(r, Col::ColChangeover)->text().isEmpty());
        }
    }
    EXPECT_TRUE(CompareForm->Notes->text().contains("not modelled"));
    EXPECT_TRUE(CompareForm->Notes->text().contains("open transition"));

    // One curve a method in each chart, in its own colour, named in the legend.
    for (TxyGraph* chart : {CompareForm->CurrentChart, CompareForm->SpeedChart}) {
        const bool current = chart == CompareForm->CurrentChart;
        EXPECT_TRUE(chart->isVisible());
        EXPECT_TRUE(chart->Legend().visible());
        const auto entries = LegendEntries(chart);
        ASSERT_EQ(entries.size(), 6u);
        std::set<QString> names;
        std::set<QRgb> colours;
        for (const TSeries* s : entries) {
            names.insert(s->SeriesName());
            colours.insert(s->LineColor().rgb());
            const MethodOutcome& m = expected.Methods[s->Index() - 1];
            const std::vector<double>& y = current ? m.Chart.Values.Current : m.Chart.Values.Speed;
            // Every chart sample, both sides of a changeover's jump at its one time included.
            ASSERT_EQ(s->Points().size(), m.Chart.Times.size());
            int jumps = 0;
            for (std::size_t k = 0; k < y.size(); ++k) {
                EXPECT_TRUE(s->Points()[k].x == m.Chart.Times[k] && s->Points()[k].y == y[k]) << k;
                jumps += k > 0 && s->Points()[k].x == s->Points()[k - 1].x;
            }
            EXPECT_EQ(jumps, m.ChangeoverTime ? 1 : 0) << MethodKey(m.Method);
        }
        EXPECT_EQ(names.size(), 6u);
        EXPECT_FALSE(names.count(QString()));
        EXPECT_EQ(colours.size(), 6u);
        // The legend lies within the chart, right of the plot area.
        const TLegend& legend = chart->Legend();
        EXPECT_GE(legend.left(), chart->PlotArea().right());
        EXPECT_LE(legend.left() + legend.width(), chart->width());
    }
    EXPECT_EQ(CompareForm->CurrentChart->GetSeries(1).SeriesName(), "DOL");
}

TEST_F(CompareTable, StarDeltaDoesNotApplyToAStarMotor) {
    RunWorkflow(); // the typed 4 kW motor runs in star
    OpenCompare();
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    const ComparisonResults expected = Expected();
    ASSERT_FALSE(expected.Methods[StarDelta].Applicable);
    ExpectTableMatches(expected);

    QTableWidgetItem* outcome = Cell(StarDelta, Col::ColOutcome);
    EXPECT_TRUE(outcome->text().startsWith("Not applicable")) << outcome->text().toStdString();
    EXPECT_FALSE(IsRed(outcome));
    for (int column : NumberColumns) {
        EXPECT_EQ(Cell(StarDelta, column)->text(), QString::fromUtf8("—"));
        EXPECT_FALSE(IsBest(StarDelta, column));
    }
    EXPECT_TRUE(Cell(StarDelta, Col::ColChangeover)->text().isEmpty());
    for (int r : {Dol, Autotransformer, Reactor, SoftRamp, SoftLimit})
        EXPECT_EQ(Cell(r, Col::ColOutcome)->text(), "Runs up");

    // No curve and no legend entry for it; the five others are there.
    for (TxyGraph* chart : {CompareForm->CurrentChart, CompareForm->SpeedChart}) {
        EXPECT_EQ(chart->FindSeries(StarDelta + 1), nullptr);
        EXPECT_EQ(LegendEntries(chart).size(), 5u);
    }
}

TEST_F(CompareTable, StalledMethodInRedWithItsSpeed) {
    Motor delta;
    delta.star = false;
    ChooseLanguage(false);
    EnterMotor(delta);
    Click(Form1->Button2);
    SetTimeMode("1"); // a short ramp: it draws more than the star stage before the rotor breaks away
    Click(Form1->Button3);
    SetLoad(LoadKind::None);
    ASSERT_TRUE(MotorData.ResultsMode);

    // A constant load above the star stage's torque at standstill (a third of direct-on-line's)
    // and below the autotransformer's at tap 0.65 (0.4225 of it).
    const double dolTorque = Expected().Methods[Dol].Outcome.StartingTorqueRatio * MotorData.RatedTorque;
    Trigger(Form1->Load);
    SetLoad(LoadKind::Constant, EditText(0.4 * dolTorque));
    ASSERT_FALSE(ErrorShown()) << ErrorText().toStdString();
    // A strong source: every method dips the busbar a little, the stalled star stage least.
    DynamicData.Network.Enabled = true;
    DynamicData.Network.ShortCircuitPower = 50e6;
    Form1->NotifyDynamicInputsChanged();
    OpenCompare();
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();

    const ComparisonResults expected = Expected();
    const StartOutcome& y = expected.Methods[StarDelta].Outcome;
    ASSERT_TRUE(y.Stalled);
    ASSERT_FALSE(y.TooLong);
    ASSERT_TRUE(y.StallSpeed);
    EXPECT_FALSE(expected.Methods[Autotransformer].Outcome.Stalled);
    ExpectTableMatches(expected);

    QTableWidgetItem* outcome = Cell(StarDelta, Col::ColOutcome);
    EXPECT_TRUE(IsRed(outcome));
    EXPECT_EQ(outcome->text(), "Stalls at " + FixedText(*y.StallSpeed, 0) + " rpm");
    EXPECT_EQ(*CellValue(StarDelta, Col::ColOutcome), *y.StallSpeed);
    // The reduced stage cannot start the load: no changeover.
    EXPECT_FALSE(expected.Methods[StarDelta].ChangeoverSpeed);
    EXPECT_TRUE(Cell(StarDelta, Col::ColChangeover)->text().startsWith("none"));
    for (int column : {Col::ColRunUp, Col::ColRotorEnergy})
        EXPECT_EQ(Cell(StarDelta, column)->text(), QString::fromUtf8("—"));
    // Its peak current over the start-time limit, in italics as the notes say.
    EXPECT_EQ(Cell(StarDelta, Col::ColPeakRatio)->toolTip(),
              "the largest current of a start that does not run up, over the start-time limit of 60 s");
    EXPECT_TRUE(CompareForm->Notes->text().endsWith(
        " Peak current in italics: the largest current of a start that does not run up, over the start-time "
        "limit of 60 s."))
        << CompareForm->Notes->text().toStdString();
    EXPECT_EQ(*CellValue(StarDelta, Col::ColStartingTorque), y.StartingTorqueRatio);
    // The smallest dips are not bests: the stalled methods are left out of the marks.
    for (const MethodOutcome& m : expected.Methods)
        if (!m.Outcome.Stalled) {
            ASSERT_LT(y.MaxVoltageDip, m.Outcome.MaxVoltageDip) << MethodKey(m.Method);
        }
    EXPECT_EQ(*CellValue(StarDelta, Col::ColDip), y.MaxVoltageDip);
    for (int r = 0; r < StartingMethodCount; ++r)
        if (expected.Methods[r].Outcome.Stalled) {
            EXPECT_FALSE(IsBest(r, Col::ColDip));
        }
    EXPECT_FALSE(IsRed(Cell(Autotransformer, Col::ColOutcome)));
}

TEST_F(CompareTable, FrenchTexts) {
    CatalogueFanWorkflow(true);
    OpenCompare();
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    EXPECT_EQ(Form1->CompareMethods->text(), QString::fromUtf8("&Comparer les modes de démarrage"));
    EXPECT_EQ(Form1->StartingMethods->text(), QString::fromUtf8("M&odes de démarrage et démarreur..."));
    EXPECT_EQ(CompareForm->windowTitle(), QString::fromUtf8("Comparer les modes de démarrage"));
    EXPECT_EQ(CompareForm->Table->horizontalHeaderItem(Col::ColMethod)->text(), "Mode");
    EXPECT_EQ(Cell(Dol, Col::ColMethod)->text(), "Direct");
    EXPECT_EQ(Cell(StarDelta, Col::ColMethod)->text(), QString::fromUtf8("Étoile-triangle"));
    EXPECT_EQ(Cell(SoftLimit, Col::ColMethod)->text(),
              "Soft-Starter, limite de courant " + Dec("3.0") + " In");
    EXPECT_EQ(Cell(Dol, Col::ColOutcome)->text(), QString::fromUtf8("Démarre"));
    EXPECT_TRUE(Cell(StarDelta, Col::ColChangeover)->text().contains("tr/min"));
    EXPECT_TRUE(CompareForm->Notes->text().contains(QString::fromUtf8("ne sont pas modélisés")));
    EXPECT_TRUE(CompareForm->DutyHint->text().startsWith(QString::fromUtf8("Pas de données du démarreur")));
    EXPECT_EQ(CompareForm->SettingsButton->text(), QString::fromUtf8("Réglages..."));
    EXPECT_EQ(CompareForm->CurrentChart->Appearance().GraphTitle(), "Courant de ligne");
    EXPECT_EQ(CompareForm->SpeedChart->Appearance().GraphTitle(), "Vitesse");
    EXPECT_EQ(CompareForm->CurrentChart->GetSeries(StarDelta + 1).SeriesName(),
              QString::fromUtf8("Étoile-triangle"));
    // Numbers with this system's separator.
    const QString runUp = Cell(Dol, Col::ColRunUp)->text();
    EXPECT_TRUE(runUp.contains(QLatin1Char(SystemDecimalSeparator()))) << runUp.toStdString();

    Click(CompareForm->SettingsButton);
    ASSERT_TRUE(MethodSettingsForm->isVisible());
    EXPECT_EQ(MethodSettingsForm->windowTitle(), QString::fromUtf8("Modes de démarrage et démarreur"));
    // Headed like the other dialogs: its title beside the logo.
    EXPECT_EQ(MethodSettingsForm->Title->text(), QString::fromUtf8("Modes de démarrage et démarreur"));
    EXPECT_TRUE(MethodSettingsForm->Logo->isVisible());
    EXPECT_EQ(MethodSettingsForm->CancelButton->text(), "Annuler");
    EXPECT_TRUE(MethodSettingsForm->ChangeoverLabel->text().startsWith("Vitesse de commutation"));
}

TEST_F(CompareTable, ResizingGrowsTheTableAndCharts) {
    CatalogueFanWorkflow();
    OpenCompare();
    CompareForm->resize(900, 700);
    Pump();
    const QSize chart = CompareForm->CurrentChart->size(), table = CompareForm->Table->size();
    const int legendLeft = CompareForm->CurrentChart->Legend().left();
    CompareForm->resize(1300, 950);
    Pump();
    for (TxyGraph* c : {CompareForm->CurrentChart, CompareForm->SpeedChart}) {
        EXPECT_GT(c->width(), chart.width() + 100);
        EXPECT_GT(c->height(), chart.height() + 50);
        // The legend follows the right edge and the plot area grows with the chart.
        EXPECT_EQ(c->Legend().left() + c->Legend().width(), c->width() - 8);
        EXPECT_GE(c->Legend().left(), c->PlotArea().right());
    }
    EXPECT_GT(CompareForm->CurrentChart->Legend().left(), legendLeft + 100);
    EXPECT_GT(CompareForm->Table->width(), table.width() + 300);
    EXPECT_GT(CompareForm->Table->height(), table.height() + 20);
    // The columns share the table's new width to its edge.
    int columns = 0;
    for (int c = 0; c < TCompareForm::ColumnCount; ++c)
        columns += CompareForm->Table->isColumnHidden(c) ? 0 : CompareForm->Table->columnWidth(c);
    EXPECT_EQ(columns, CompareForm->Table->viewport()->width());
}

// The current-limit row names its limit: the soft-starter's in current-limit mode (the very start
// of the dynamic start window), the comparison's own once set in the settings dialog.
TEST_F(CompareTable, TheCurrentLimitRowNamesItsLimit) {
    CatalogueFanWorkflow();
    OpenCompare();
    EXPECT_EQ(Cell(SoftLimit, Col::ColMethod)->text(), "Soft-starter, current limit " + Dec("3.0") + " In");
    DynamicResults dynamic;
    ASSERT_EQ(ComputeDynamicStart(MotorData, DynamicData, dynamic), 0);
    EXPECT_EQ(*CellValue(SoftLimit, Col::ColRunUp), *dynamic.SoftStarter.RunUpTime);

    Click(CompareForm->SettingsButton);
    MethodSettingsForm->LimitEdit->setText(Dec("1.5"));
    Click(MethodSettingsForm->OkButton);
    Pump();
    ASSERT_FALSE(ErrorShown()) << ErrorText().toStdString();
    EXPECT_EQ(Cell(SoftLimit, Col::ColMethod)->text(), "Soft-starter, current limit " + Dec("1.5") + " In");
    EXPECT_LE(*CellValue(SoftLimit, Col::ColPeakRatio), 1.5 * (1 + 1e-6));
    ExpectTableMatches(Expected());
}
