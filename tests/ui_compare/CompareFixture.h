#pragma once
// A fresh program in a temporary working directory with the delivered catalogue, plus helpers
// that drive the comparison window and its settings dialog as a user does, and the comparison
// the window should show, computed here from the data set the main window computed.

#include "DialogFixture.h"

#include "Compare.h"
#include "ComparisonCharts.h"
#include "MethodSettings.h"
#include "xyGraph.h"

#include <QGroupBox>
#include <QTableWidget>

#include <cmath>
#include <optional>
#include <set>

class CompareTest : public DialogTest {
  protected:
    static constexpr int Dol = 0, StarDelta = 1, Autotransformer = 2, Reactor = 3, SoftRamp = 4,
                         SoftLimit = 5;

    // The delivered catalogue's record 9 (11 kW, 4 poles, delta) with a fan load, current limit 3 In.
    static void CatalogueFanWorkflow(bool french = false, const QString& t2 = "0.1") {
        ChooseLanguage(french);
        ChooseListedMotor(9);
        Click(Form1->Button2);
        SetLimitMode("3");
        Click(Form1->Button3);
        SetLoad(LoadKind::Squared, "0", "0", t2);
        ASSERT_FALSE(ErrorShown()) << ErrorText().toStdString();
        ASSERT_TRUE(MotorData.ResultsMode);
    }

    static void OpenCompare() { Trigger(Form1->CompareMethods); }

    // The user comes back to the main window (a click on it) before using its menu or buttons, so
    // that the dialogs opened from there give the activation back to it.
    static void ActivateMain() {
        Form1->raise();
        Form1->activateWindow();
        Pump();
    }
    static void OpenSettings() { Trigger(Form1->StartingMethods); }

    // Types the starter data into the open settings dialog (ticked) and presses OK.
    static void TypeStarter(const QString& ie, const QString& code, const QString& starts) {
        TMethodSettingsForm* f = MethodSettingsForm;
        f->StarterGroup->setChecked(true);
        f->RatedCurrentEdit->setText(ie);
        f->RatingEdit->setText(code);
        f->StartsEdit->setText(starts);
        Click(f->OkButton);
    }

    static void SetStarter(const QString& ie, const QString& code, const QString& starts) {
        OpenSettings();
        TypeStarter(ie, code, starts);
    }

    // What the window should show: the comparison of the data set and settings now in force, with
    // the chart samples it asks for.
    static ComparisonResults Expected() {
        ComparisonResults r;
        EXPECT_EQ(ComputeComparison(MotorData, DynamicData, r, 0, ComparisonChartPoints), 0);
        return r;
    }

    static QTableWidgetItem* Cell(int row, int column) { return CompareForm->Table->item(row, column); }

    // The number a cell holds (nullopt for a null value shown as a dash).
    static std::optional<double> CellValue(int row, int column) {
        const QVariant v = Cell(row, column)->data(TCompareForm::ValueRole);
        if (!v.isValid()) return std::nullopt;
        return v.toDouble();
    }

    static bool IsBest(int row, int column) {
        return Cell(row, column)->data(TCompareForm::BestRole).toBool();
    }

    static bool IsRed(const QTableWidgetItem* item) {
        const QColor c = item->foreground().color();
        return c.red() >= 150 && c.green() < 60 && c.blue() < 60;
    }

    // The series of a chart that have a legend entry, by series number.
    static std::vector<const TSeries*> LegendEntries(TxyGraph* chart) {
        std::vector<const TSeries*> entries;
        for (const TSeries* s : chart->SeriesList())
            if (s->ShowInLegend() != 0) entries.push_back(s);
        return entries;
    }

    static const std::set<int>& LowestBest() {
        static const std::set<int> columns{TCompareForm::ColPeakCurrent, TCompareForm::ColPeakRatio,
                                           TCompareForm::ColRunUp, TCompareForm::ColRotorEnergy,
                                           TCompareForm::ColDip};
        return columns;
    }
};
