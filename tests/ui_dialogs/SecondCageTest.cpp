// A second rotor cage at the desktop: typed in the equivalent diagram (computed, refused, emptied
// again), a data sheet's motor made a diagram motor by it, a pick from the list without one, and
// "Save Parameters in Motor List" refusing it.

#include "DialogFixture.h"

#include "Init_Mot.h"
#include "MainCharts.h"
#include "OperatingPoint.h"
#include "SchemEqu.h"

namespace {
void TypeSecondCage(const QString& rr2, const QString& xr2sigma)
{
    Form1->EquivalentDiagram->trigger();
    Form3->Rr2Edit->setText(rr2);
    Form3->Xr2sigmaEdit->setText(xr2sigma);
    Form3->Button1->click();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}
double StartingCurrentRatio() { return SeriesPoints(Form1->xyGraph3, 1).front().second; }
} // namespace

TEST_F(DialogTest, ASecondCageTypedInTheDiagramIsComputedRefusedNamingItsElementAndEmptiedAgain)
{
    ListedMotorResults();
    TypeSecondCage("", ""); // the one cage as the fields show it
    const double oneCage = StartingCurrentRatio();
    const struct {
        const char *rr2, *xr2sigma;
        int number;
        const char* message;
    } refused[] = {{"", "0.8", 186, "R'r2 is not a number!"},
                   {"3.1", "x", 186, "X'r2sigma is not a number!"},
                   {"-1", "0.8", 107, "R'r2 must not be negative!"},
                   {"0", "0.8", 229, "The value of \"R'r2\" must be above 0\u00a0Ω!"}};
    for (const auto& c : refused) {
        TypeSecondCage(c.rr2, c.xr2sigma);
        EXPECT_EQ(MotorData.ErrorNumber, c.number);
        EXPECT_EQ(ErrorText(), QString::fromUtf8(c.message));
        EXPECT_FALSE(HasSecondCage(MotorData));
        AcknowledgeError();
        Click(Form3->Cancel);
    }
    TypeSecondCage(Dec("3.1"), Dec("0.8"));
    EXPECT_DOUBLE_EQ(MotorData.Rr2, 3.1);
    EXPECT_DOUBLE_EQ(MotorData.Xr2sigma, 0.8);
    // Computed on both cages: the double cage's starting current, above the one cage's.
    const double expected = StatorCurrent(MotorData, 1.0, MotorData.PhaseVoltage) / MotorData.PhaseCurrent;
    EXPECT_NEAR(StartingCurrentRatio(), expected, 1e-9 * expected);
    EXPECT_GT(StartingCurrentRatio(), 1.05 * oneCage);
    EXPECT_EQ(Form1->CircuitLabel->text(), "double cage");
    Trigger(Form1->EquivalentDiagram);
    EXPECT_EQ(Form3->Rr2Edit->text(), Dec("3.10"));
    Click(Form3->Cancel);
    TypeSecondCage("", "");
    EXPECT_EQ(StartingCurrentRatio(), oneCage);
    EXPECT_FALSE(Form1->CircuitLabel->isVisible());
}

TEST_F(DialogTest, ADoubleCageIsNeverSavedInTheListAndALaterPickHasOneCage)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500)});
    const std::string before = Bytes(ListFileName);
    ChooseLanguage(false);
    EnterSheet({"6.4", "2.5", "2.9"});
    for (bool diagram : {false, true}) {
        if (diagram) // the data sheet's circuit confirmed in the diagram: a diagram motor
            TypeSecondCage(FixedText(MotorData.Rr2, 2), FixedText(MotorData.Xr2sigma, 2));
        EXPECT_EQ(HasDatasheet(MotorData), !diagram);
        EXPECT_EQ(MotorData.MotorFromList, diagram);
        Trigger(Form1->SaveMotor);
        EXPECT_EQ(MotorData.ErrorNumber, ErrListSecondCage);
        EXPECT_FALSE(OKBottomDlg1->isVisible());
        AcknowledgeError();
    }
    // Given a second cage while the question is open, it is refused at OK.
    ChooseListedMotor(1);
    EXPECT_FALSE(HasSecondCage(MotorData) || HasDatasheet(MotorData));
    Trigger(Form1->SaveMotor);
    MotorData.Rr2 = 3.1;
    Click(OKBottomDlg1->OKBtn);
    EXPECT_EQ(MotorData.ErrorNumber, ErrListSecondCage);
    EXPECT_EQ(Bytes(ListFileName), before);
}
