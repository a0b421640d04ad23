// The rated values dialog's data sheet: from typed ratios to the results on the double cage and the
// fit shown, a motor typed without one afterwards, the refusals in the command line's order, and
// the fixed windows' layout with the new parts in both languages.

#include "UiFixture.h"

#include "DatasheetMotor.h"
#include "ExampleMotor.h"
#include "MainCharts.h"
#include "SchemEqu.h"

#include <QGroupBox>

namespace {
std::array<double, 8> Circuit(const MotorDataSet& d)
{
    return {d.Rs, d.Rr, d.Xssigma, d.Xrsigma, d.Xh, d.Riron, d.Rr2, d.Xr2sigma};
}
} // namespace

TEST_F(UiTest, ATypedDataSheetGivesItsDoubleCageToTheResultsAndEmptiedGivesOneCageAgain)
{
    const struct {
        Sheet sheet;
        bool exact;
        const char* fit;
    } cases[] = {{{"5.5", "2.5", "2.9"}, true, "double cage, exact fit (kr 1.00, kx 0.50)"},
                 {{"6.4", "2.5", "2.9"}, false, "double cage, best fit within the IEC tolerances: Ia\u00a0\u2212"},
                 {{"6.4", "2.5", "2.9", true}, false, "(current priority)"}};
    ChooseLanguage(false);
    for (const auto& c : cases) {
        EnterSheet(c.sheet);
        ASSERT_FALSE(ErrorShown()) << ToStd(ErrorText());
        if (!MotorData.ResultsMode)
            ToResults();
        // The circuit the command line and a study identify from the same data sheet.
        MotorDataSet expected = ExampleFourKilowattMotor(true, true);
        expected.RatedSpeed = 1430;
        expected.LockedRotorCurrentRatio = c.sheet.ia.toDouble();
        expected.LockedRotorTorqueRatio = 2.5;
        expected.BreakdownTorqueRatio = 2.9;
        expected.Priority = c.sheet.current ? FitPriority::Current : FitPriority::Torque;
        ASSERT_EQ(ConfirmDatasheetMotor(expected), 0);
        EXPECT_EQ(Circuit(MotorData), Circuit(expected));
        EXPECT_EQ(MotorData.Fit.Exact, c.exact);
        // Computed on it: the starting current is Ia/In, less what a best fit lets it give way.
        const double ia = c.sheet.ia.toDouble() * (1 + MotorData.Fit.Deviations[4]);
        EXPECT_NEAR(SeriesPoints(Form1->xyGraph3, 1).front().second, ia, 1e-7 * ia);
        EXPECT_TRUE(Form1->CircuitLabel->text().contains(QString::fromUtf8(c.fit))) << c.fit;
        // Opened again: the data sheet, its priority and fit; the no-load current is left to the fit.
        Trigger(Form1->RatedValues);
        EXPECT_EQ(Form2->LockedCurrentEdit->text(), c.sheet.ia == "5.5" ? Dec("5.5") : Dec("6.4"));
        EXPECT_EQ(Form2->CurrentPriorityRadio->isChecked(), c.sheet.current);
        EXPECT_EQ(Form2->Edit6->text(), "");
        EXPECT_EQ(Form2->FitLabel->text(), Form1->CircuitLabel->text());
        Click(Form2->Button2);
    }
    // Typed again with the group emptied: the nameplate's one cage and the designed panel.
    Trigger(Form1->RatedValues);
    for (QLineEdit* e : {Form2->LockedCurrentEdit, Form2->LockedTorqueEdit, Form2->BreakdownTorqueEdit})
        e->clear();
    TypeMotor(Motor());
    MotorDataSet typed = ExampleFourKilowattMotor();
    IdentifyEquivalentDiagram(typed);
    EXPECT_EQ(Circuit(MotorData), Circuit(typed));
    EXPECT_FALSE(HasDatasheet(MotorData));
    EXPECT_FALSE(Form1->CircuitLabel->isVisible());
    EXPECT_EQ(Form1->Edit10->y(), 330);
}

TEST_F(UiTest, DataSheetRefusalsAreNumberedInTheCommandLinesOrderAndStoreNothing)
{
    const struct {
        Sheet sheet;
        const char *powerFactor, *speed;
        int number;
        const char* says;
    } cases[] = {
        {{"abc", "2.5", "2.9"}, "0.82", "1430", 186, "\"abc\" of \"Locked-Rotor Current Ia/In\" is not a number!"},
        {{"", "", "2.9"}, "0.82", "1430", 182, "missing: Locked-Rotor Current Ia/In, Locked-Rotor Torque Ta/Tn!"},
        {{"25", "2.5", "2.9"}, "0.82", "1430", 229, "\"Locked-Rotor Current Ia/In\" must be above 1 and at most 20!"},
        {{"5.5", "3", "2.5"}, "0.82", "1430", 180, "Tk/Tn (2.5) must not be below the locked-rotor torque Ta/Tn (3)"},
        {{"7.5", "1.5", "3.5"}, "0.82", "1430", 181, "(the closest: breakdown torque \u221210.8\u00a0%)!"},
        {{"25", "2.5", "2.9"}, "0.82", "", 7, "Nominal speed"}, // the nameplate first: its presence,
        {{"25", "2.5", "2.9"}, "1", "1430", 20, "Power factor"},  // then its plausibility
    };
    ChooseLanguage(false);
    for (const auto& c : cases) {
        Motor m = SheetMotor();
        m.powerFactor = c.powerFactor;
        m.speed = c.speed;
        EnterSheet(c.sheet, m);
        EXPECT_EQ(MotorData.ErrorNumber, c.number);
        EXPECT_TRUE(ErrorText().contains(QString::fromUtf8(c.says))) << ToStd(ErrorText());
        EXPECT_TRUE(Form2->isVisible());
        EXPECT_FALSE(MotorData.MotorIdentified || HasDatasheet(MotorData) || MotorData.MechanicalPower) << c.says;
        AcknowledgeError();
        Click(Form2->Button2);
    }
}

namespace {
// Every visible widget placed by hand in `parent` (the drawing's figures aside) lies inside it, is
// wide (a wrapped text high) enough for its text, and over no sibling.
void ExpectPlacedCleanly(QWidget* parent)
{
    std::vector<QWidget*> widgets;
    for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() || !w->isVisibleTo(parent) || qobject_cast<TShape*>(w) || qobject_cast<TPaintBox*>(w))
            continue;
        widgets.push_back(w);
        const std::string name = ToStd(w->objectName());
        EXPECT_TRUE(parent->rect().contains(w->geometry())) << name;
        const auto* label = qobject_cast<QLabel*>(w);
        const auto* edit = qobject_cast<QLineEdit*>(w);
        const bool wraps = label && label->wordWrap();
        EXPECT_TRUE(!wraps || label->height() >= label->heightForWidth(label->width())) << name;
        if ((label && !wraps) || qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w)) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << name;
        }
        // An edit's frame and margins take 4 px a side.
        EXPECT_TRUE(!edit || edit->fontMetrics().horizontalAdvance(edit->text()) + 8 <= edit->width()) << name;
        if (qobject_cast<QGroupBox*>(w) || (qobject_cast<QFrame*>(w) && !label))
            ExpectPlacedCleanly(w);
    }
    for (std::size_t i = 0; i < widgets.size(); ++i)
        for (std::size_t j = i + 1; j < widgets.size(); ++j)
            EXPECT_FALSE(widgets[i]->geometry().intersects(widgets[j]->geometry()))
                << ToStd(widgets[i]->objectName()) << " overlaps " << ToStd(widgets[j]->objectName());
}

class FixedWindowLayoutTest : public UiTest, public ::testing::WithParamInterface<bool> {};
} // namespace

TEST_P(FixedWindowLayoutTest, TheDataSheetAndTheSecondCageFitTheirWindows)
{
    ChooseLanguage(GetParam());
    EnterSheet({"6.4", "2.5", "2.9"});
    ToResults();
    // The longest line a fit gives: three deviations and the priority.
    MotorData.Fit.Deviations = {-0.123, 0.0345, 0, -0.101, -0.2, 0.089};
    Form1->FillResultPanels();
    ExpectPlacedCleanly(Form1->Panel1);
    Trigger(Form1->RatedValues);
    ExpectPlacedCleanly(Form2);
    if (GetParam()) {
        EXPECT_EQ(Form2->DatasheetGroup->title(), "Catalogue constructeur");
        EXPECT_EQ(Form2->BreakdownTorqueLabel->text(), QString::fromUtf8("Couple de décrochage Tk/Tn"));
        EXPECT_EQ(Form2->CurrentPriorityRadio->text(), "courant");
        EXPECT_TRUE(Form2->FitLabel->text().startsWith(QString::fromUtf8("double cage, meilleur ajustement")));
    }
    Click(Form2->Button2);
    Trigger(Form1->EquivalentDiagram);
    ExpectPlacedCleanly(Form3);
}

INSTANTIATE_TEST_SUITE_P(Languages, FixedWindowLayoutTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "French" : "English"; });
