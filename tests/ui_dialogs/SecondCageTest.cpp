// A second rotor cage at the desktop: typed in the equivalent diagram (computed, refused, emptied
// again), shown for a data sheet's motor and taken from it by an edit, dropped by a pick from the
// list, and kept out of the motor list by "Save Parameters in Motor List".

#include "DialogFixture.h"

#include "Init_Mot.h"
#include "MainCharts.h"
#include "OperatingPoint.h"
#include "SchemEqu.h"
#include "SelMot.h"

namespace {

class SecondCageTest : public DialogTest {
protected:
    static void TypeSecondCage(const QString& rr2, const QString& xr2sigma)
    {
        Trigger(Form1->EquivalentDiagram);
        Form3->Rr2Edit->setText(rr2);
        Form3->Xr2sigmaEdit->setText(xr2sigma);
        Click(Form3->Button1);
    }

    static double StartingCurrentRatio() { return SeriesPoints(Form1->xyGraph3, 1).front().second; }
};

} // namespace

TEST_F(SecondCageTest, ASecondCageTypedInTheDiagramIsComputedAndEmptiedGivesOneCageAgain)
{
    ListedMotorResults();
    // Confirmed once as shown, so that the one-cage results are those of the rounded fields.
    TypeSecondCage("", "");
    ASSERT_FALSE(ErrorShown()) << ToStd(ErrorText());
    const double oneCage = StartingCurrentRatio();
    const std::string oneCageCurve = ToStd(Form1->Edit19->text() + Form1->Edit17->text());

    TypeSecondCage(Dec("3.1"), Dec("0.8"));
    ASSERT_FALSE(ErrorShown()) << ToStd(ErrorText());
    EXPECT_DOUBLE_EQ(MotorData.Rr2, 3.1);
    EXPECT_DOUBLE_EQ(MotorData.Xr2sigma, 0.8);
    EXPECT_EQ(ChoicesData.Source, MotorSource::Diagram);
    // Computed on both cages: the starting current is the double cage's, above the one cage's.
    const double expected = StatorCurrent(MotorData, 1.0, MotorData.PhaseVoltage) / MotorData.PhaseCurrent;
    EXPECT_NEAR(StartingCurrentRatio(), expected, 1e-9 * expected);
    EXPECT_GT(StartingCurrentRatio(), oneCage * 1.05);
    EXPECT_TRUE(Form1->CircuitLabel->isVisible());
    EXPECT_EQ(Form1->CircuitLabel->text(), "double cage");

    Trigger(Form1->EquivalentDiagram);
    EXPECT_EQ(Form3->Rr2Edit->text(), Dec("3.10"));
    EXPECT_EQ(Form3->Xr2sigmaEdit->text(), Dec("0.80"));
    Click(Form3->Cancel);

    TypeSecondCage("", "");
    EXPECT_FALSE(HasSecondCage(MotorData));
    EXPECT_EQ(StartingCurrentRatio(), oneCage);
    EXPECT_EQ(ToStd(Form1->Edit19->text() + Form1->Edit17->text()), oneCageCurve);
    EXPECT_FALSE(Form1->CircuitLabel->isVisible());
}

TEST_F(SecondCageTest, ASecondCageThatCannotBeComputedIsRefusedNamingItsElement)
{
    ListedMotorResults();
    struct Case {
        const char *rr2, *xr2sigma;
        int number;
        const char* message;
    };
    const Case cases[] = {
        {"", "0.8", ErrDatasheetNotANumber, "R'r2 is not a number!"},
        {"3.1", "x", ErrDatasheetNotANumber, "X'r2sigma is not a number!"},
        {"-1", "0.8", ErrNegativeElement, "R'r2 must not be negative!"},
        {"0", "0.8", ErrValueAboveAtMost, "The value of \"R'r2\" must be above 0\u00a0Ω!"},
    };
    for (const Case& c : cases) {
        TypeSecondCage(QString::fromLatin1(c.rr2), QString::fromLatin1(c.xr2sigma));
        EXPECT_EQ(MotorData.ErrorNumber, c.number) << c.message;
        EXPECT_EQ(ErrorText(), QString::fromUtf8(c.message));
        EXPECT_TRUE(Form3->isVisible()) << c.message;
        EXPECT_FALSE(HasSecondCage(MotorData)) << c.message;
        AcknowledgeError();
        Click(Form3->Cancel);
    }
}

TEST_F(SecondCageTest, ADataSheetMotorShowsItsSecondCageAndAnEditMakesItADiagramMotor)
{
    ChooseLanguage(false);
    EnterSheet({"5.5", "2.5", "2.9"});
    ASSERT_TRUE(HasDatasheet(MotorData));
    Trigger(Form1->EquivalentDiagram);
    EXPECT_EQ(Form3->Rr2Edit->text(), FixedText(MotorData.Rr2, 2));
    EXPECT_EQ(Form3->Xr2sigmaEdit->text(), FixedText(MotorData.Xr2sigma, 2));
    Click(Form3->Button1);
    EXPECT_FALSE(HasDatasheet(MotorData));
    EXPECT_TRUE(HasSecondCage(MotorData));
    EXPECT_TRUE(MotorData.MotorFromList);
    EXPECT_EQ(ChoicesData.Source, MotorSource::Diagram);

    // A pick from the list brings a motor with one cage and no data sheet.
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500)});
    EnterSheet({"5.5", "2.5", "2.9"});
    ChooseListedMotor(1);
    EXPECT_FALSE(HasDatasheet(MotorData));
    EXPECT_FALSE(HasSecondCage(MotorData));
    EXPECT_DOUBLE_EQ(MotorData.Rr, 0.61);
}

TEST_F(SecondCageTest, SaveParametersRefusesADoubleCageAndLeavesTheListAsItWas)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500)});
    const std::string before = Bytes(ListFileName);
    ChooseLanguage(false);
    // A data sheet's motor, and a diagram motor given a second cage.
    for (bool datasheet : {true, false}) {
        if (datasheet) {
            EnterSheet({"6.4", "2.5", "2.9"});
        } else {
            ChooseListedMotor(1);
            TypeSecondCage(Dec("3.1"), Dec("0.8"));
        }
        ASSERT_TRUE(HasSecondCage(MotorData));
        Trigger(Form1->SaveMotor);
        EXPECT_EQ(MotorData.ErrorNumber, ErrListSecondCage) << datasheet;
        EXPECT_TRUE(ErrorText().startsWith("The motor list holds motors with one rotor cage only")) << datasheet;
        EXPECT_FALSE(OKBottomDlg1->isVisible()) << datasheet;
        AcknowledgeError();
        EXPECT_EQ(Bytes(ListFileName), before) << datasheet;
    }
    // Given its second cage while the question is open, the motor is still refused at OK.
    TypeSecondCage("", "");
    Trigger(Form1->SaveMotor);
    ASSERT_TRUE(OKBottomDlg1->isVisible());
    MotorData.Rr2 = 3.1;
    Click(OKBottomDlg1->OKBtn);
    EXPECT_EQ(MotorData.ErrorNumber, ErrListSecondCage);
    EXPECT_EQ(Bytes(ListFileName), before);
}
