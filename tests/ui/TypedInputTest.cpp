// What the user types survives every way back into an open dialog (the not-a-number box, the
// error dialog, another window); a dialog loads its fields only when it is opened. A pending
// error comes to the front when another dialog's OK is refused because of it. The soft-starter
// checks only the fields of its selected mode and the preset range.

#include "UiFixture.h"

#include "ErrorMessages.h"
#include "MainCharts.h"
#include "Print.h"
#include "SchemEqu.h"
#include "TextToReal.h"

#include <QTest>

namespace {

// The user dismisses the open not-a-number box with its OK button.
void DismissConvertBox()
{
    QMessageBox* box = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible() && b->objectName() == "ConvertErrorBox")
            box = b;
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::Ok)->click();
}

} // namespace

class TypedInputTest : public UiTest {
protected:
    // What the window system does when the user clicks into a window that stays open.
    static void ComeBackTo(QWidget* window)
    {
        window->raise();
        window->activateWindow();
        Pump();
        ASSERT_EQ(QApplication::activeWindow(), window);
    }
};

TEST_F(TypedInputTest, RatedValuesTypedBeforeTheNotANumberBoxAreStoredByTheNextOk)
{
    ChooseLanguage(false);
    Trigger(Form1->RatedValues);
    Form2->Edit9->setText("Maker T");
    Form2->Edit8->setText("100 L");
    Motor m;
    m.power = "3000";
    m.voltage = "230";
    m.current = "10,9x"; // not a number: the box stops the handler after the voltage
    m.powerFactor = "0.84";
    m.star = false;
    TypeMotor(m);
    ASSERT_NE(OpenMessageBox("ConvertErrorBox"), nullptr);
    DismissConvertBox();
    Pump();
    ComeBackTo(Form2);
    // Everything is as the user typed it, not as the data set holds it.
    EXPECT_EQ(Form2->Edit9->text(), "Maker T");
    EXPECT_EQ(Form2->Edit1->text(), "3000");
    EXPECT_EQ(Form2->Edit2->text(), "230");
    EXPECT_EQ(Form2->Edit5->text(), "50");
    EXPECT_EQ(Form2->Edit3->text(), "10,9x");
    EXPECT_EQ(Form2->Edit4->text(), "0.84");
    EXPECT_EQ(Form2->Edit6->text(), "4.5");
    EXPECT_TRUE(Form2->RadioButton2->isChecked());
    Form2->Edit3->setText("10,9");
    Click(Form2->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_EQ(MotorData.ConstructorName, "Maker T");
    EXPECT_EQ(MotorData.MotorSize, "100 L");
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 3000);
    EXPECT_DOUBLE_EQ(MotorData.LineVoltage, 230);
    EXPECT_DOUBLE_EQ(MotorData.Frequency, 50);
    EXPECT_DOUBLE_EQ(MotorData.LineCurrent, 10.9);
    EXPECT_DOUBLE_EQ(MotorData.PowerFactor, 0.84);
    EXPECT_DOUBLE_EQ(MotorData.RatedSpeed, 1440);
    EXPECT_DOUBLE_EQ(MotorData.NoLoadLineCurrent, 4.5);
    EXPECT_FALSE(MotorData.StarCoupling);
    EXPECT_EQ(MotorData.StartStep, 1);
}

TEST_F(TypedInputTest, RatedValuesStayAsTypedAfterTheErrorDialogAndAnotherWindow)
{
    ChooseLanguage(false);
    Trigger(Form1->RatedValues);
    Motor m;
    m.power = "6000"; // error 21
    m.approximate = true;
    Form2->Edit9->setText("Maker U");
    TypeMotor(m);
    ASSERT_EQ(MotorData.ErrorNumber, 21);
    AcknowledgeError();
    ASSERT_EQ(QApplication::activeWindow(), Form2);
    EXPECT_EQ(Form2->Edit1->text(), "6000");
    EXPECT_TRUE(Form2->CheckBox1->isChecked());
    // The user looks at the main window, types on, and comes back.
    ComeBackTo(Form1);
    Form2->Edit1->setText("3900");
    ComeBackTo(Form2);
    EXPECT_EQ(Form2->Edit1->text(), "3900");
    EXPECT_EQ(Form2->Edit9->text(), "Maker U");
    Click(Form2->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 3900);
    EXPECT_TRUE(MotorData.ApproximationWithoutNoLoadCurrent);
}

TEST_F(TypedInputTest, SoftStarterValuesTypedBeforeTheNotANumberBoxAreStoredByTheNextOk)
{
    ChooseLanguage(false);
    EnterMotor();
    Click(Form1->Button2);
    Form6->RadioButton2->setChecked(true);
    Form6->Edit1->setText("12");
    Form6->Edit4->setText("25");
    Form6->Edit5->setText("7s");
    Click(Form6->Button1);
    ASSERT_NE(OpenMessageBox("ConvertErrorBox"), nullptr);
    EXPECT_DOUBLE_EQ(MotorData.EstimatedStartTime, 10); // nothing stored
    EXPECT_DOUBLE_EQ(MotorData.Preset, 0.1);
    DismissConvertBox();
    Pump();
    ComeBackTo(Form6);
    EXPECT_EQ(Form6->Edit1->text(), "12");
    EXPECT_EQ(Form6->Edit4->text(), "25");
    EXPECT_EQ(Form6->Edit5->text(), "7s");
    Form6->Edit5->setText("7");
    Click(Form6->Button1);
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.EstimatedStartTime, 12);
    EXPECT_DOUBLE_EQ(MotorData.Preset, 0.25);
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 7);
    EXPECT_EQ(MotorData.StartStep, 2);
}

TEST_F(TypedInputTest, CurrentLimitModeAfterASearchedRampAboveThirtySeconds)
{
    ChooseLanguage(false);
    EnterMotor();
    Click(Form1->Button2);
    SetLimitMode("1.6", "10", "40");
    Click(Form1->Button3);
    SetLoad(LoadKind::None);
    ASSERT_EQ(Form1->Edit19->text(), Dec("39.00")); // the ramp time found
    Trigger(Form1->SoftStarter);
    EXPECT_EQ(Form6->Edit5->text(), Dec("39.00")); // in the hidden panel
    Form6->Edit3->setText("2");
    Click(Form6->Button1);
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.DesiredImaxIn, 2);
    EXPECT_EQ(Form1->Edit19->text(), Dec("28.15"));
    EXPECT_EQ(Form1->Edit17->text(), Dec("2.00"));
}

TEST_F(TypedInputTest, PresetMustLieBetweenZeroAndHundredPercentInEitherMode)
{
    ChooseLanguage(false);
    Trigger(Form1->SoftStarter);
    struct Case {
        bool limitMode;
        const char* preset;
        bool accepted;
    };
    const Case cases[] = {{false, "-5", false}, {false, "100.5", false}, {false, "-0.01", false},
                          {true, "101", false}, {true, "-1", false},     {false, "0", true},
                          {false, "100", true}, {true, "0", true},       {true, "100", true},
                          {true, "55,5", true}};
    for (const Case& c : cases) {
        if (!Form6->isVisible())
            Trigger(Form1->SoftStarter);
        (c.limitMode ? Form6->RadioButton1 : Form6->RadioButton2)->setChecked(true);
        // The preset field of the other mode holds an impossible value; it is not looked at.
        (c.limitMode ? Form6->Edit4 : Form6->Edit2)->setText("500");
        (c.limitMode ? Form6->Edit2 : Form6->Edit4)->setText(QString::fromLatin1(c.preset));
        const double before = MotorData.Preset;
        Click(Form6->Button1);
        if (c.accepted) {
            EXPECT_EQ(MotorData.ErrorNumber, 0) << c.preset;
            EXPECT_FALSE(Form6->isVisible()) << c.preset;
            EXPECT_DOUBLE_EQ(MotorData.Preset, TextToReal(c.preset) * 0.01) << c.preset;
        } else {
            EXPECT_EQ(MotorData.ErrorNumber, ErrPresetRange) << c.preset;
            EXPECT_EQ(ErrorText(), "Preset must lie between 0 and 100\u00A0%!") << c.preset;
            EXPECT_TRUE(Form6->isVisible()) << c.preset;
            EXPECT_DOUBLE_EQ(MotorData.Preset, before) << c.preset;
            AcknowledgeError();
            // The refused preset stays in its field for the correction.
            EXPECT_EQ((c.limitMode ? Form6->Edit2 : Form6->Edit4)->text(), QString::fromLatin1(c.preset));
        }
    }
}

TEST_F(TypedInputTest, PresetRefusalInFrench)
{
    ChooseLanguage(true);
    Trigger(Form1->SoftStarter);
    SetTimeMode("5", "120");
    EXPECT_EQ(MotorData.ErrorNumber, ErrPresetRange);
    EXPECT_EQ(OKBottomDlg->windowTitle(), "Erreur");
    EXPECT_EQ(ErrorText(), QString::fromUtf8("Le preset doit être compris entre 0 et 100\u00A0%\u00A0!"));
}

TEST_F(TypedInputTest, APendingErrorComesToTheFrontWhenTheSoftStarterRefusesToStore)
{
    ChooseLanguage(false);
    Click(Form1->Button2); // error 30, left pending
    ASSERT_EQ(MotorData.ErrorNumber, 30);
    ComeBackTo(Form1); // the error dialog is now behind the main window
    Trigger(Form1->SoftStarter);
    Form6->RadioButton2->setChecked(true);
    Form6->Edit5->setText("8");
    Click(Form6->Button1);
    EXPECT_TRUE(Form6->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 5);
    EXPECT_TRUE(ErrorShown());
    EXPECT_EQ(QApplication::activeWindow(), OKBottomDlg);
    EXPECT_EQ(ErrorText(), "Select motor in list before!");
    // Acknowledged, it gives the activation back to the dialog the user was in; the text typed
    // there is still there and OK now stores it.
    AcknowledgeError();
    EXPECT_EQ(QApplication::activeWindow(), Form6);
    EXPECT_EQ(Form6->Edit5->text(), "8");
    Click(Form6->Button1);
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 8);
}

TEST_F(TypedInputTest, AnErrorClosedWithTheCloseBoxIsShownAgainByTheRefusedOk)
{
    ChooseLanguage(true);
    Click(Form1->Button3); // error 30
    ASSERT_TRUE(ErrorShown());
    OKBottomDlg->close(); // hidden, not acknowledged
    Pump();
    ASSERT_FALSE(ErrorShown());
    ASSERT_EQ(MotorData.ErrorNumber, 30);
    Trigger(Form1->SoftStarter);
    SetTimeMode("6");
    EXPECT_TRUE(ErrorShown());
    EXPECT_EQ(QApplication::activeWindow(), OKBottomDlg);
    EXPECT_EQ(ErrorText(), "Il faut d'a^bord choisir le moteur dans la liste!");
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 5);
}

TEST_F(TypedInputTest, DiagramValuesStayAsTypedAfterItsError)
{
    ChooseLanguage(false);
    EnterMotor();
    Trigger(Form1->EquivalentDiagram);
    ASSERT_TRUE(Form3->isVisible());
    const double rr = MotorData.Rr;
    Form3->Edit1->setText("1.5");
    Form3->Edit2->setText(""); // error: R'r not declared
    Form3->Edit3->setText("2.5");
    Form3->Edit4->setText("2.6");
    Form3->Edit5->setText("90");
    Form3->Edit6->setText("1500");
    Click(Form3->Button1);
    ASSERT_EQ(MotorData.ErrorNumber, ErrRrField);
    AcknowledgeError();
    ASSERT_EQ(QApplication::activeWindow(), Form3);
    EXPECT_EQ(Form3->Edit1->text(), "1.5");
    EXPECT_EQ(Form3->Edit6->text(), "1500");
    EXPECT_DOUBLE_EQ(MotorData.Rr, rr);
    Form3->Edit2->setText("1.2");
    Click(Form3->Button1);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.Rs, 1.5);
    EXPECT_DOUBLE_EQ(MotorData.Rr, 1.2);
    EXPECT_DOUBLE_EQ(MotorData.Xssigma, 2.5);
    EXPECT_DOUBLE_EQ(MotorData.Xrsigma, 2.6);
    EXPECT_DOUBLE_EQ(MotorData.Xh, 90);
    EXPECT_DOUBLE_EQ(MotorData.Riron, 1500);
    EXPECT_TRUE(MotorData.MotorFromList);
}

TEST_F(TypedInputTest, PrintChoicesStayWhileTheDialogIsOpenAndAreClearedAtTheNextOpening)
{
    ChooseLanguage(false);
    Trigger(Form1->Print1);
    OKBottomDlg2->CheckBox1->setChecked(true);
    OKBottomDlg2->CheckBox2->setChecked(true);
    ComeBackTo(Form1);
    ComeBackTo(OKBottomDlg2);
    EXPECT_TRUE(OKBottomDlg2->CheckBox1->isChecked());
    EXPECT_TRUE(OKBottomDlg2->CheckBox2->isChecked());
    Click(OKBottomDlg2->CancelBtn);
    Trigger(Form1->Print1);
    EXPECT_FALSE(OKBottomDlg2->CheckBox1->isChecked());
    EXPECT_FALSE(OKBottomDlg2->CheckBox2->isChecked());
}

TEST_F(TypedInputTest, LanguageTextsStillFollowAnActivationOfAnOpenDialog)
{
    // Opened before the language is chosen: the designed texts. Typed values stay through the
    // choice, the texts follow it at the next activation.
    Trigger(Form1->SoftStarter);
    EXPECT_EQ(Form6->Button2->text(), "Cancel");
    Form6->Edit1->setText("17");
    ComeBackTo(Form1);
    ChooseLanguage(true);
    ComeBackTo(Form6);
    EXPECT_EQ(Form6->Button2->text(), "Annuler");
    EXPECT_EQ(Form6->windowTitle(), QString::fromUtf8("Paramètres du Soft-Starter"));
    EXPECT_EQ(Form6->Edit1->text(), "17");
}

TEST_F(TypedInputTest, ARefusedLoadLeftWithEscapeOrTheCloseBoxIsNotKept)
{
    RunWorkflow();
    const auto before = SeriesPoints(Form1->xyGraph3, 1);
    for (const bool escape : {true, false}) {
        Trigger(Form1->Load);
        SetLoad(LoadKind::Squared, "5", "1", "300");
        ASSERT_EQ(MotorData.ErrorNumber, 70);
        AcknowledgeError();
        if (escape)
            QTest::keyClick(Form5, Qt::Key_Escape);
        else
            Form5->close();
        Pump();
        EXPECT_FALSE(Form5->isVisible());
        EXPECT_DOUBLE_EQ(MotorData.T0, 0);
        EXPECT_DOUBLE_EQ(MotorData.T2, 0);
        Trigger(Form1->Load);
        EXPECT_TRUE(Form5->RadioButton1->isChecked());
        EXPECT_FALSE(Form5->Panel1->isVisible());
        EXPECT_EQ(Form5->Edit3->text(), "0");
        Click(Form5->Button2);
    }
    // An accepted load is what the next opening shows.
    Trigger(Form1->Load);
    SetLoad(LoadKind::Proportional, "4", "0.05");
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_NE(SeriesPoints(Form1->xyGraph3, 1), before);
    Trigger(Form1->Load);
    SetLoad(LoadKind::Constant, "500");
    ASSERT_EQ(MotorData.ErrorNumber, 70);
    AcknowledgeError();
    Click(Form5->Button2);
    EXPECT_DOUBLE_EQ(MotorData.T0, 4);
    EXPECT_DOUBLE_EQ(MotorData.T1, 0.05);
    Trigger(Form1->Load);
    EXPECT_TRUE(Form5->RadioButton3->isChecked());
    EXPECT_EQ(Form5->Edit1->text(), "4");
    EXPECT_EQ(Form5->Edit2->text(), "0.05");
}
