// The rated values dialog's data sheet: from a typed data sheet to the results on its double cage,
// the fit under the group and in the main window's panel, the refusals with their numbers, a motor
// typed without one afterwards, and the fixed windows' layout with the new parts in both languages.

#include "UiFixture.h"

#include "DatasheetMotor.h"
#include "ExampleMotor.h"
#include "MainCharts.h"
#include "OperatingPoint.h"
#include "SchemEqu.h"

#include <QGroupBox>

#include <array>

namespace {

std::array<double, 8> Circuit(const MotorDataSet& d)
{
    return {d.Rs, d.Rr, d.Xssigma, d.Xrsigma, d.Xh, d.Riron, d.Rr2, d.Xr2sigma};
}

// The 4 kW motor of the data sheets with its ratios, as the command line and a study take it.
MotorDataSet SheetMotorSet(const Sheet& s)
{
    MotorDataSet d = ExampleFourKilowattMotor(true, true);
    d.RatedSpeed = 1430;
    d.NoLoadLineCurrent = 0;
    d.LockedRotorCurrentRatio = s.ia.toDouble();
    d.LockedRotorTorqueRatio = s.ta.toDouble();
    d.BreakdownTorqueRatio = s.tk.toDouble();
    d.Priority = s.current ? FitPriority::Current : FitPriority::Torque;
    return d;
}

// The standstill point of the direct-on-line current curve, I/In at s = 1.
double StartingCurrentRatio() { return SeriesPoints(Form1->xyGraph3, 1).front().second; }

} // namespace

TEST_F(UiTest, ATypedDataSheetGivesItsDoubleCageToTheResultsAndNamesTheFit)
{
    struct Case {
        Sheet sheet;
        bool exact;
        const char* fit; // in the panel and under the group
    };
    const Case cases[] = {
        {{"5.5", "2.5", "2.9"}, true, "double cage, exact fit (kr 1.00, kx 0.50)"},
        {{"6.4", "2.5", "2.9"}, false, "double cage, best fit within the IEC tolerances: Ia\u00a0\u2212"},
        {{"6.4", "2.5", "2.9", true}, false, "(current priority)"},
    };
    ChooseLanguage(false);
    for (const Case& c : cases) {
        const std::string name = ToStd(c.sheet.ia) + (c.sheet.current ? " current" : " torque");
        EnterSheet(c.sheet);
        ASSERT_FALSE(ErrorShown()) << name << ": " << ToStd(ErrorText());
        EXPECT_FALSE(Form2->isVisible()) << name;
        if (!MotorData.ResultsMode)
            ToResults();
        ASSERT_TRUE(Form1->Panel1->isVisible()) << name;
        // The circuit is the one the command line and a study identify from the same data sheet.
        MotorDataSet expected = SheetMotorSet(c.sheet);
        ASSERT_EQ(ConfirmDatasheetMotor(expected), 0) << name;
        EXPECT_EQ(Circuit(MotorData), Circuit(expected)) << name;
        EXPECT_DOUBLE_EQ(MotorData.NoLoadLineCurrent, expected.NoLoadLineCurrent) << name;
        EXPECT_EQ(MotorData.Fit.Exact, c.exact) << name;
        EXPECT_FALSE(MotorData.MotorFromList) << name;
        // The results are computed on it: the starting current is the data sheet's Ia/In, less the
        // deviation a best fit leaves it.
        const double ia = c.sheet.ia.toDouble() * (1 + MotorData.Fit.Deviations[4]);
        EXPECT_NEAR(StartingCurrentRatio(), ia, 1e-7 * ia) << name;
        EXPECT_TRUE(Form1->CircuitLabel->isVisible()) << name;
        EXPECT_TRUE(Form1->CircuitLabel->text().contains(QString::fromUtf8(c.fit))) << name;

        // Opened again, the dialog shows the data sheet and its fit; the no-load current came from
        // the fit and stays empty.
        Trigger(Form1->RatedValues);
        EXPECT_EQ(Form2->LockedCurrentEdit->text(), Dec(c.sheet.ia.toLatin1().constData())) << name;
        EXPECT_EQ(Form2->BreakdownTorqueEdit->text(), Dec("2.9")) << name;
        EXPECT_EQ(Form2->CurrentPriorityRadio->isChecked(), c.sheet.current) << name;
        EXPECT_EQ(Form2->Edit6->text(), "") << name;
        EXPECT_EQ(Form2->FitLabel->text(), Form1->CircuitLabel->text()) << name;
        // A changed data sheet is not the one fitted: its fit is no longer shown.
        Form2->LockedTorqueEdit->setText("2.6");
        emit Form2->LockedTorqueEdit->textEdited("2.6");
        EXPECT_EQ(Form2->FitLabel->text(), "") << name;
        Click(Form2->Button2);
    }
}

TEST_F(UiTest, DataSheetRefusalsAreNumberedInTheCommandLinesOrderAndStoreNothing)
{
    struct Case {
        Sheet sheet;
        const char* powerFactor;
        const char* speed;
        int number;
        const char* message;
    };
    const Case cases[] = {
        {{"abc", "2.5", "2.9"}, "0.82", "1430", ErrDatasheetNotANumber,
         "The value \"abc\" of \"Locked-Rotor Current Ia/In\" is not a number!"},
        {{"5.5", "", "2.9"}, "0.82", "1430", ErrDatasheetIncomplete,
         "The data sheet needs Ia/In, Ta/Tn and Tk/Tn together (or none); missing: Locked-Rotor Torque Ta/Tn!"},
        {{"", "", "2.9"}, "0.82", "1430", ErrDatasheetIncomplete,
         "The data sheet needs Ia/In, Ta/Tn and Tk/Tn together (or none); missing: Locked-Rotor Current Ia/In, "
         "Locked-Rotor Torque Ta/Tn!"},
        {{"25", "2.5", "2.9"}, "0.82", "1430", ErrValueAboveAtMost,
         "The value of \"Locked-Rotor Current Ia/In\" must be above 1 and at most 20!"},
        {{"5.5", "3", "2.5"}, "0.82", "1430", ErrBreakdownBelowLockedTorque,
         "The breakdown torque Tk/Tn (2.5) must not be below the locked-rotor torque Ta/Tn (3): it is the largest "
         "torque up to standstill!"},
        {{"7.5", "1.5", "3.5"}, "0.82", "1430", ErrFitOutsideTolerances,
         "No double-cage circuit meets this data sheet within the tolerances of IEC 60034-1 (the closest: "
         "breakdown torque \u221210.8\u00a0%)!"},
        // The nameplate first, as on the command line: its presence, then its plausibility.
        {{"25", "2.5", "2.9"}, "0.82", "", 7, "Nominal speed is not declared"},
        {{"25", "2.5", "2.9"}, "1", "1430", 20, "Power factor must be less than 1!"},
    };
    ChooseLanguage(false);
    for (const Case& c : cases) {
        Motor m = SheetMotor();
        m.powerFactor = c.powerFactor;
        m.speed = c.speed;
        EnterSheet(c.sheet, m);
        EXPECT_EQ(MotorData.ErrorNumber, c.number) << c.message;
        EXPECT_EQ(ErrorText(), QString::fromUtf8(c.message));
        EXPECT_TRUE(Form2->isVisible()) << c.message;
        EXPECT_FALSE(MotorData.MotorIdentified) << c.message;
        EXPECT_FALSE(HasDatasheet(MotorData)) << c.message;
        EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 0) << c.message;
        AcknowledgeError();
        Click(Form2->Button2);
    }
}

TEST_F(UiTest, TheDataSheetGroupSpeaksFrench)
{
    ChooseLanguage(true);
    Trigger(Form1->RatedValues);
    EXPECT_EQ(Form2->DatasheetGroup->title(), "Catalogue constructeur");
    EXPECT_EQ(Form2->LockedCurrentLabel->text(), QString::fromUtf8("Courant à rotor bloqué Ia/In"));
    EXPECT_EQ(Form2->LockedTorqueLabel->text(), QString::fromUtf8("Couple à rotor bloqué Ta/Tn"));
    EXPECT_EQ(Form2->BreakdownTorqueLabel->text(), QString::fromUtf8("Couple de décrochage Tk/Tn"));
    EXPECT_EQ(Form2->PriorityLabel->text(), QString::fromUtf8("Priorité de l'ajustement"));
    EXPECT_EQ(Form2->TorquePriorityRadio->text(), "couples");
    EXPECT_EQ(Form2->CurrentPriorityRadio->text(), "courant");
    EXPECT_TRUE(Form2->PriorityNote->text().contains(QString::fromUtf8("creux de tension")));
    Click(Form2->Button2);

    EnterSheet({"5,5", "x", "2,9"});
    EXPECT_EQ(ErrorText(), QString::fromUtf8("La valeur «\u00a0x\u00a0» de «\u00a0Couple à rotor bloqué Ta/Tn\u00a0» "
                                             "n'est pas un nombre\u00a0!"));
    AcknowledgeError();
    Form2->LockedTorqueEdit->setText("2,5");
    Click(Form2->Button1);
    ASSERT_FALSE(Form2->isVisible());
    Trigger(Form1->RatedValues);
    EXPECT_EQ(Form2->FitLabel->text(), QString::fromUtf8("double cage, ajustement exact (kr 1,00, kx 0,50)"));
}

TEST_F(UiTest, AMotorTypedWithoutDataSheetAfterOneHasOneCageAsBefore)
{
    ChooseLanguage(false);
    EnterSheet({"5.5", "2.5", "2.9"});
    ToResults();
    ASSERT_TRUE(HasSecondCage(MotorData));
    const int compactRowY = Form1->Edit10->y();

    // The group emptied: the nameplate's identification, one cage, the designed panel.
    Trigger(Form1->RatedValues);
    for (QLineEdit* e : {Form2->LockedCurrentEdit, Form2->LockedTorqueEdit, Form2->BreakdownTorqueEdit})
        e->clear();
    TypeMotor(Motor());
    ASSERT_FALSE(ErrorShown()) << ToStd(ErrorText());
    EXPECT_FALSE(HasDatasheet(MotorData));
    EXPECT_FALSE(HasSecondCage(MotorData));
    MotorDataSet typed = ExampleFourKilowattMotor();
    IdentifyEquivalentDiagram(typed);
    EXPECT_EQ(Circuit(MotorData), Circuit(typed));
    // The results of the four-kilowatt workflow.
    EXPECT_EQ(Form1->Edit19->text(), Dec("4.20"));
    EXPECT_EQ(Form1->Edit17->text(), Dec("2.99"));
    EXPECT_FALSE(Form1->CircuitLabel->isVisible());
    EXPECT_NE(Form1->Edit10->y(), compactRowY);
    EXPECT_EQ(Form1->Edit10->y(), 330);
}

namespace {

// Every visible widget placed by hand inside `parent`, the drawing's figures aside: inside its
// parent, wide (and for wrapped texts high) enough for its text, over no sibling.
void ExpectPlacedCleanly(QWidget* parent, const std::string& where)
{
    std::vector<QWidget*> widgets;
    for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() || !w->isVisibleTo(parent) || qobject_cast<TShape*>(w) || qobject_cast<TPaintBox*>(w))
            continue;
        widgets.push_back(w);
        const std::string name = where + " " + ToStd(w->objectName());
        EXPECT_TRUE(parent->rect().contains(w->geometry())) << name << " sticks out of its parent";
        const auto* label = qobject_cast<QLabel*>(w);
        if (label && label->wordWrap()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name << " cuts its lines";
        } else if (label || qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w)) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << name << " cuts its text";
        } else if (const auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 12, w->width()) << name;
        }
        if (qobject_cast<QGroupBox*>(w) || (qobject_cast<QFrame*>(w) && !label))
            ExpectPlacedCleanly(w, where);
    }
    for (std::size_t i = 0; i < widgets.size(); ++i)
        for (std::size_t j = i + 1; j < widgets.size(); ++j)
            EXPECT_FALSE(widgets[i]->geometry().intersects(widgets[j]->geometry()))
                << where << ": " << ToStd(widgets[i]->objectName()) << " overlaps " << ToStd(widgets[j]->objectName());
}

class FixedWindowLayoutTest : public UiTest, public ::testing::WithParamInterface<bool> {};

} // namespace

TEST_P(FixedWindowLayoutTest, TheDataSheetAndSecondCageFitTheirWindowsInBothLanguages)
{
    const bool french = GetParam();
    ChooseLanguage(french);
    EnterSheet({"6.4", "2.5", "2.9"});
    ToResults();
    ASSERT_TRUE(Form1->CircuitLabel->isVisible());
    // The longest line a fit gives: three deviations and the priority.
    MotorData.Fit.Deviations = {-0.123, 0.0345, 0, -0.101, -0.2, 0.089};
    MotorData.Priority = FitPriority::Current;
    Form1->FillResultPanels();
    ExpectPlacedCleanly(Form1->Panel1, "results panel");

    Trigger(Form1->RatedValues);
    ASSERT_FALSE(Form2->FitLabel->text().isEmpty());
    EXPECT_EQ(Form2->size(), Form2->minimumSize());
    EXPECT_EQ(Form2->size(), Form2->maximumSize());
    ExpectPlacedCleanly(Form2, "rated values");
    Click(Form2->Button2);

    Trigger(Form1->EquivalentDiagram);
    ASSERT_FALSE(Form3->Rr2Edit->text().isEmpty());
    ExpectPlacedCleanly(Form3, "equivalent diagram");
    // A field shows its whole value (the frame and the margins take 4 px on each side).
    for (QLineEdit* e : Form3->findChildren<QLineEdit*>())
        EXPECT_LE(e->fontMetrics().horizontalAdvance(e->text()) + 8, e->width()) << ToStd(e->objectName());
}

INSTANTIATE_TEST_SUITE_P(Languages, FixedWindowLayoutTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "French" : "English"; });
