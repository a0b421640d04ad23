// The rated values dialog: presence errors in their order, plausibility, the check box rule,
// stored zeros shown empty, and text that is not a number.

#include "UiFixture.h"

#include "ErrorMessages.h"

TEST_F(UiTest, MissingRatedValuesAreReportedOneAtATimeInTheirOrder)
{
    ChooseLanguage(false);
    Trigger(Form1->RatedValues);
    ASSERT_TRUE(Form2->isVisible());
    Form2->Edit9->setText("Maker A");
    Form2->Edit8->setText("112 M");
    // Each step fills the field the previous error asked for; the expected error is the next one.
    struct Step {
        QLineEdit* fill;
        const char* value;
        int error;
        const char* message;
    };
    const Step steps[] = {
        {nullptr, "", 1, "Mecanical power is not declared!"},
        {Form2->Edit1, "4000", 2, "Line voltage is not declared!"},
        {Form2->Edit2, "400", 5, "Frequency is not declared!"},
        {Form2->Edit5, "50", 3, "Line current is not declared!"},
        {Form2->Edit3, "8.5", 4, "Power factor is not declared!"},
        {Form2->Edit4, "0.82", 7, "Nominal speed is not declared"},
        {Form2->Edit7, "1440", 6, "No load current is not declared!"},
    };
    for (const Step& s : steps) {
        if (s.fill)
            s.fill->setText(QString::fromLatin1(s.value));
        Click(Form2->Button1);
        EXPECT_EQ(MotorData.ErrorNumber, s.error);
        EXPECT_TRUE(ErrorShown());
        EXPECT_EQ(ErrorText(), QString::fromLatin1(s.message));
        EXPECT_TRUE(Form2->isVisible());
        AcknowledgeError();
        EXPECT_EQ(MotorData.ErrorNumber, 0);
        EXPECT_FALSE(ErrorShown());
        // Back in the dialog, which shows what was stored and keeps the typed fields.
        EXPECT_EQ(QApplication::activeWindow(), Form2);
    }
    EXPECT_EQ(MotorData.ConstructorName, "Maker A");
    EXPECT_DOUBLE_EQ(MotorData.RatedSpeed, 1440);
    EXPECT_EQ(Form2->Edit7->text(), "1440");
    EXPECT_FALSE(MotorData.MotorIdentified);
    Form2->Edit6->setText("4.5");
    Click(Form2->Button1);
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(ErrorShown());
    EXPECT_TRUE(MotorData.MotorIdentified);
    EXPECT_TRUE(MotorData.DataChanged);
    EXPECT_EQ(MotorData.StartStep, 1);
    EXPECT_FALSE(MotorData.MotorFromList);
    EXPECT_DOUBLE_EQ(MotorData.PairOfPoles, 2);
}

TEST_F(UiTest, AllFieldsEmptyGivesErrorOneAndStoresTheTexts)
{
    ChooseLanguage(false);
    Trigger(Form1->RatedValues);
    Form2->Edit9->setText("Maker B");
    Click(Form2->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 1);
    EXPECT_EQ(MotorData.ConstructorName, "Maker B");
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 0);
}

TEST_F(UiTest, PowerFactorOfOneOrAboveIsRefused)
{
    ChooseLanguage(false);
    // A power factor of exactly 1 leaves no reactive power for the reactances.
    for (const char* pf : {"1.01", "-1.01", "1"}) {
        Motor m;
        m.powerFactor = pf;
        EnterMotor(m);
        EXPECT_EQ(MotorData.ErrorNumber, 20) << pf;
        EXPECT_EQ(ErrorText(), "Power factor must be less than 1!");
        EXPECT_TRUE(Form2->isVisible());
        EXPECT_TRUE(MotorData.MotorIdentified); // set whatever the plausibility check found
        AcknowledgeError();
        Click(Form2->Button2);
    }
}

TEST_F(UiTest, ElectricalPowerBelowMechanicalIsRefused)
{
    ChooseLanguage(false);
    Motor m;
    m.power = "6000"; // 4829 W electrical
    EnterMotor(m);
    EXPECT_EQ(MotorData.ErrorNumber, 21);
    EXPECT_EQ(ErrorText(), "Mecanical power must be less than electrical power!");
    EXPECT_TRUE(MotorData.MotorIdentified);
    EXPECT_EQ(MotorData.StartStep, 0);
    EXPECT_TRUE(Form2->isVisible());
}

TEST_F(UiTest, CheckBoxMakesTheNoLoadCurrentOptionalAndStaysAsTickedAfterAnError)
{
    ChooseLanguage(false);
    Motor m;
    m.noLoad = "";
    m.approximate = true;
    m.power = "6000"; // refused with 21, so the dialog stays open
    EnterMotor(m);
    EXPECT_EQ(MotorData.ErrorNumber, 21); // not 6
    EXPECT_TRUE(MotorData.ApproximationWithoutNoLoadCurrent);
    EXPECT_DOUBLE_EQ(MotorData.NoLoadLineCurrent, 0);
    AcknowledgeError();
    ASSERT_EQ(QApplication::activeWindow(), Form2);
    // Back in the dialog the box is still ticked, as the user left it.
    EXPECT_TRUE(Form2->CheckBox1->isChecked());
    Form2->Edit1->setText("4000");
    Click(Form2->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(Form2->isVisible());
    // A new opening starts with the box cleared: the no-load current is required again.
    Trigger(Form1->RatedValues);
    EXPECT_FALSE(Form2->CheckBox1->isChecked());
    Form2->Edit6->clear();
    Click(Form2->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 6);
}

TEST_F(UiTest, StoredValuesComeBackFormattedAndZeroAsEmpty)
{
    ChooseLanguage(false);
    Motor m;
    m.current = "12,34";
    m.power = "5500";
    m.powerFactor = "0.85";
    m.voltage = "400";
    EnterMotor(m);
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_DOUBLE_EQ(MotorData.LineCurrent, 12.34);
    Trigger(Form1->RatedValues);
    EXPECT_EQ(Form2->Edit3->text(), Dec("12.3"));
    EXPECT_EQ(Form2->Edit4->text(), Dec("0.85"));
    EXPECT_EQ(Form2->Edit1->text(), "5500");
    EXPECT_TRUE(Form2->RadioButton1->isChecked());
    EXPECT_EQ(MotorData.DataChanged, false); // activation clears it
    Form2->Edit1->setText("0");
    Click(Form2->Button1);
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 0);
    EXPECT_NE(MotorData.ErrorNumber, 0); // a zero power cannot be derived
    AcknowledgeError();
    EXPECT_EQ(Form2->Edit1->text(), "0"); // as typed while the dialog stays open
    Click(Form2->Button2);
    Trigger(Form1->RatedValues);
    EXPECT_EQ(Form2->Edit1->text(), ""); // the stored 0, at the next opening
    Click(Form2->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 1);
}

TEST_F(UiTest, TextThatIsNotANumberShowsTheConversionMessage)
{
    ChooseLanguage(false);
    Motor m;
    m.current = "abc";
    EnterMotor(m);
    QMessageBox* box = OpenMessageBox("ConvertErrorBox");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "'abc' n'est pas une valeur flottante correcte");
    EXPECT_FALSE(box->isModal());
    EXPECT_TRUE(Form2->isVisible());
    // Fields converted before the failing one are stored, the handler stopped there.
    EXPECT_DOUBLE_EQ(MotorData.LineVoltage, 400);
    EXPECT_DOUBLE_EQ(MotorData.PowerFactor, 0);
    EXPECT_FALSE(MotorData.MotorIdentified);
    EXPECT_EQ(MotorData.StartStep, 0);
}

TEST_F(UiTest, DeltaCouplingIsStoredAndShownAgain)
{
    ChooseLanguage(false);
    Motor m;
    m.star = false;
    EnterMotor(m);
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(MotorData.StarCoupling);
    EXPECT_DOUBLE_EQ(MotorData.PhaseVoltage, 400);
    Trigger(Form1->RatedValues);
    EXPECT_TRUE(Form2->RadioButton2->isChecked());
}

TEST_F(UiTest, FrenchRatedValuesTextsAndMessages)
{
    ChooseLanguage(true);
    Trigger(Form1->RatedValues);
    EXPECT_EQ(Form2->windowTitle(), "Valeurs nominales");
    EXPECT_EQ(Form2->Label12->text(), QString::fromUtf8("Courant de ligne à vide"));
    EXPECT_EQ(Form2->RadioButton1->text(), "Etoile");
    EXPECT_EQ(Form2->Button2->text(), "Annuler");
    EXPECT_EQ(Form2->Button1->text(), "OK");
    Click(Form2->Button1);
    EXPECT_EQ(OKBottomDlg->windowTitle(), "Erreur");
    EXPECT_EQ(ErrorText(), QString::fromUtf8("La puissance mécanique n'est pas declarée!"));
}

TEST_F(UiTest, MakerTextWithASemicolonIsRefused)
{
    ChooseLanguage(false);
    Trigger(Form1->RatedValues);
    Form2->Edit9->setText("Maker;A");
    TypeMotor(Motor());
    EXPECT_EQ(MotorData.ErrorNumber, ErrListTextSeparator);
    EXPECT_EQ(ErrorText(), QString::fromUtf8(ErrorMessage(ErrListTextSeparator, Language::English)));
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_EQ(MotorData.StartStep, 0);
    AcknowledgeError();
    Form2->Edit9->setText("Maker A");
    Click(Form2->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(Form2->isVisible());
}
