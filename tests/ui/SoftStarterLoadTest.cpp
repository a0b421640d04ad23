// The soft-starter and load dialogs: modes, checks 50, 51 and 70, the pending-error rule.

#include "UiFixture.h"

#include "MainCharts.h"

TEST_F(UiTest, SoftStarterFirstOpeningShowsThePresets)
{
    ChooseLanguage(false);
    Trigger(Form1->SoftStarter);
    EXPECT_EQ(Form6->Edit1->text(), Dec("10.00"));
    EXPECT_EQ(Form6->Edit2->text(), Dec("10.00"));
    EXPECT_EQ(Form6->Edit3->text(), Dec("1.50"));
    EXPECT_EQ(Form6->Edit4->text(), Dec("10.00"));
    EXPECT_EQ(Form6->Edit5->text(), Dec("5.00"));
    EXPECT_FALSE(Form6->RadioButton1->isChecked());
    EXPECT_FALSE(Form6->RadioButton2->isChecked());
    EXPECT_FALSE(Form6->Panel1->isVisible());
    EXPECT_FALSE(Form6->Panel2->isVisible());
}

TEST_F(UiTest, NoModeChosenIsError50)
{
    ChooseLanguage(false);
    Trigger(Form1->SoftStarter);
    Click(Form6->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 50);
    EXPECT_EQ(ErrorText(), "You must choose how you want the calculation done!");
    EXPECT_TRUE(Form6->isVisible());
    EXPECT_EQ(MotorData.StartStep, 0);
}

TEST_F(UiTest, RampTimeAboveThirtyIsError51InTheSelectedTimeModeOnly)
{
    ChooseLanguage(false);
    Trigger(Form1->SoftStarter);
    Form6->RadioButton1->setChecked(true);
    Form6->Edit5->setText("30.5"); // hidden field of the other mode: not checked
    Click(Form6->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 5);
    Trigger(Form1->SoftStarter);
    Form6->RadioButton2->setChecked(true);
    Form6->Edit5->setText("30.5");
    Click(Form6->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 51);
    EXPECT_EQ(ErrorText(), "Time Soft-Starter must be less than 30s!");
    AcknowledgeError();
    // back in the dialog: the typed time is still there to be corrected
    EXPECT_EQ(QApplication::activeWindow(), Form6);
    EXPECT_EQ(Form6->Edit5->text(), "30.5");
    Form6->Edit5->setText("30");
    Click(Form6->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 30);
}

TEST_F(UiTest, NoModeChosenIsOnlyError50WhateverTheFieldsHold)
{
    ChooseLanguage(false);
    Trigger(Form1->SoftStarter);
    Form6->Edit5->setText("45");
    Form6->Edit2->setText("150");
    Click(Form6->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 50);
    EXPECT_EQ(ErrorText(), "You must choose how you want the calculation done!");
}

TEST_F(UiTest, PendingErrorBlocksTheSoftStarterUntilAcknowledged)
{
    ChooseLanguage(false);
    Click(Form1->Button2); // error 30, left unacknowledged
    ASSERT_EQ(MotorData.ErrorNumber, 30);
    Trigger(Form1->SoftStarter);
    Form6->RadioButton2->setChecked(true);
    Form6->Edit5->setText("8");
    Click(Form6->Button1);
    EXPECT_TRUE(Form6->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 5);
    EXPECT_TRUE(ErrorShown());
    AcknowledgeError();
    Form6->ShowForm();
    Pump();
    Form6->Edit5->setText("8");
    Click(Form6->Button1);
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 8);
    EXPECT_EQ(MotorData.StartStep, 2);
}

TEST_F(UiTest, SoftStarterModesStoreOnlyTheirOwnFields)
{
    ChooseLanguage(false);
    Trigger(Form1->SoftStarter);
    SetLimitMode("2.5", "25", "12");
    EXPECT_TRUE(MotorData.LimitCurrentMode);
    EXPECT_FALSE(MotorData.SelectedTimeMode);
    EXPECT_DOUBLE_EQ(MotorData.Preset, 0.25);
    EXPECT_DOUBLE_EQ(MotorData.DesiredImaxIn, 2.5);
    EXPECT_DOUBLE_EQ(MotorData.EstimatedStartTime, 12);
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 5);
    EXPECT_TRUE(MotorData.DataChanged);
    Trigger(Form1->SoftStarter);
    EXPECT_EQ(Form6->Edit2->text(), Dec("25.00"));
    EXPECT_TRUE(Form6->Panel1->isVisible());
    SetTimeMode("6", "30");
    EXPECT_TRUE(MotorData.SelectedTimeMode);
    EXPECT_FALSE(MotorData.LimitCurrentMode);
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 6);
    EXPECT_DOUBLE_EQ(MotorData.Preset, 0.3);
    EXPECT_DOUBLE_EQ(MotorData.DesiredImaxIn, 2.5);
}

TEST_F(UiTest, ModeChosenThenCancelledStays)
{
    ChooseLanguage(false);
    Trigger(Form1->SoftStarter);
    Form6->RadioButton2->setChecked(true);
    Click(Form6->Button2);
    EXPECT_TRUE(MotorData.SelectedTimeMode);
    EXPECT_EQ(MotorData.StartStep, 0);
}

TEST_F(UiTest, ReopeningTheSoftStarterAfterAComputationChangesNothing)
{
    RunWorkflow(false, "3");
    EXPECT_EQ(Form1->Edit17->text(), Dec("2.99"));
    Trigger(Form1->SoftStarter);
    EXPECT_EQ(Form6->Edit3->text(), Dec("3.00")); // the desired limit, not the peak reached
    EXPECT_EQ(Form6->Edit5->text(), Dec("4.20")); // the ramp time found
    Click(Form6->Button1);
    EXPECT_DOUBLE_EQ(MotorData.DesiredImaxIn, 3.0);
    EXPECT_EQ(Form1->Edit19->text(), Dec("4.20"));
    EXPECT_EQ(Form1->Edit17->text(), Dec("2.99"));
}

TEST_F(UiTest, SelectedTimeModeShowsTheTypedTimeAndThePeak)
{
    ChooseLanguage(false);
    EnterMotor();
    Click(Form1->Button2);
    SetTimeMode("3");
    Click(Form1->Button3);
    SetLoad(LoadKind::None);
    EXPECT_EQ(Form1->Edit19->text(), Dec("3.00"));
    EXPECT_GT(MotorData.ImaxIn, 1.0);
    EXPECT_EQ(Form1->Edit17->text(), FixedText(MotorData.ImaxIn, 2));
}

TEST_F(UiTest, FrenchSoftStarterTexts)
{
    ChooseLanguage(true);
    Trigger(Form1->SoftStarter);
    EXPECT_EQ(Form6->windowTitle(), QString::fromUtf8("Paramètres du Soft-Starter"));
    EXPECT_EQ(Form6->RadioButton1->text(), QString::fromUtf8("Limite maximale désirée pour le courant"));
    EXPECT_EQ(Form6->Label3->text(), "Imax/In");
    Click(Form6->Button1);
    EXPECT_EQ(ErrorText(), "Vous devez choisir comment vous voulez que le calcul se fasse!");
}

TEST_F(UiTest, LoadKindsShowTheirRowsAndStoreTheirCoefficients)
{
    ChooseLanguage(false);
    Trigger(Form1->Load);
    EXPECT_TRUE(Form5->RadioButton1->isChecked());
    EXPECT_FALSE(Form5->Panel1->isVisible());
    EXPECT_EQ(Form5->Edit1->text(), "0");
    Form5->RadioButton2->setChecked(true);
    EXPECT_TRUE(Form5->Panel1->isVisible());
    EXPECT_TRUE(Form5->Edit1->isVisible());
    EXPECT_FALSE(Form5->Edit2->isVisible());
    EXPECT_FALSE(Form5->Label10->isVisible());
    EXPECT_FALSE(Form5->Label1->isVisible());
    Form5->RadioButton3->setChecked(true);
    EXPECT_TRUE(Form5->Edit2->isVisible());
    EXPECT_TRUE(Form5->Label10->isVisible());
    EXPECT_FALSE(Form5->Edit3->isVisible());
    Form5->RadioButton4->setChecked(true);
    EXPECT_TRUE(Form5->Edit3->isVisible());
    EXPECT_TRUE(Form5->Label1->isVisible());
    EXPECT_TRUE(Form5->Label9->isVisible());
    EXPECT_FALSE(Form5->Label10->isVisible());
    Click(Form5->Button2);

    EnterMotor();
    Trigger(Form1->Load);
    SetLoad(LoadKind::Constant, "5", "7", "9");
    EXPECT_DOUBLE_EQ(MotorData.T0, 5);
    EXPECT_DOUBLE_EQ(MotorData.T1, 0);
    EXPECT_DOUBLE_EQ(MotorData.T2, 0);
    Click(Form1->Button4);
    Trigger(Form1->Load);
    EXPECT_TRUE(Form5->RadioButton2->isChecked()); // the kind of the last use stays
    EXPECT_EQ(Form5->Edit2->text(), "7");
    SetLoad(LoadKind::Squared, "1", "0,1", "0.01");
    EXPECT_DOUBLE_EQ(MotorData.T0, 1);
    EXPECT_DOUBLE_EQ(MotorData.T1, 0.1);
    EXPECT_DOUBLE_EQ(MotorData.T2, 0.01);
    Click(Form1->Button4);
    Trigger(Form1->Load);
    SetLoad(LoadKind::None, "3", "3", "3");
    EXPECT_DOUBLE_EQ(MotorData.T0, 0);
    EXPECT_DOUBLE_EQ(MotorData.T2, 0);
}

TEST_F(UiTest, LoadTooBigIsError70AndKeepsThePreviousResults)
{
    RunWorkflow();
    const QString peak = Form1->Edit17->text();
    const auto before = SeriesPoints(Form1->xyGraph3, 2);
    Trigger(Form1->Load);
    SetLoad(LoadKind::Constant, "200");
    EXPECT_EQ(MotorData.ErrorNumber, 70);
    EXPECT_EQ(ErrorText(), "Loaded Torque is too big!");
    EXPECT_TRUE(Form5->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.T0, 0); // a refused load is never stored
    AcknowledgeError();
    EXPECT_EQ(QApplication::activeWindow(), Form5);
    EXPECT_EQ(Form5->Edit1->text(), "200"); // kept for the correction
    Click(Form5->Button2);
    EXPECT_DOUBLE_EQ(MotorData.T0, 0);
    // Cancel went back to the last accepted load, in the dialog too.
    Trigger(Form1->Load);
    EXPECT_TRUE(Form5->RadioButton1->isChecked());
    EXPECT_EQ(Form5->Edit1->text(), "0");
    Click(Form5->Button2);
    // A later computation runs with that load.
    Trigger(Form1->SoftStarter);
    Click(Form6->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(ErrorShown());
    EXPECT_EQ(Form1->Edit17->text(), peak);
    EXPECT_EQ(SeriesPoints(Form1->xyGraph3, 2), before);
    EXPECT_TRUE(Form1->Panel1->isVisible());
    Trigger(Form1->Load);
    SetLoad(LoadKind::Constant, "10");
    EXPECT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_NE(SeriesPoints(Form1->xyGraph3, 2), before);
}

TEST_F(UiTest, LoadIsJudgedOnTheCircuitOfTheTypedMotor)
{
    ChooseLanguage(false);
    Motor big;
    big.power = "22000";
    big.current = "41";
    big.powerFactor = "0.84";
    big.speed = "1470";
    big.noLoad = "12";
    EnterMotor(big);
    Click(Form1->Button2);
    SetTimeMode("5");
    Click(Form1->Button3);
    SetLoad(LoadKind::Constant, "300");
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    ASSERT_TRUE(Form1->Panel1->isVisible());
    const double bigRr = MotorData.Rr;
    // The 4 kW motor typed now still has the 22 kW circuit in the data set until the next
    // computation; the load it cannot carry must be refused all the same.
    Click(Form1->Button4);
    EnterMotor();
    ASSERT_DOUBLE_EQ(MotorData.Rr, bigRr);
    Trigger(Form1->Load);
    SetLoad(LoadKind::Constant, "300");
    EXPECT_EQ(MotorData.ErrorNumber, 70);
    EXPECT_TRUE(Form5->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.Rr, bigRr); // judged on a copy
    AcknowledgeError();
    SetLoad(LoadKind::Constant, "20");
    EXPECT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_EQ(Form1->Edit1->text(), "4000");
    EXPECT_NE(MotorData.Rr, bigRr);
}

TEST_F(UiTest, LoadWithoutAMotorShowsTheModelMessage)
{
    ChooseLanguage(false);
    Trigger(Form1->Load);
    SetLoad(LoadKind::Constant, "5");
    EXPECT_NE(MotorData.ErrorNumber, 0);
    EXPECT_NE(MotorData.ErrorNumber, 70);
    EXPECT_TRUE(Form5->isVisible());
    EXPECT_FALSE(MotorData.ResultsMode);
}

TEST_F(UiTest, LoadTextThatIsNotANumber)
{
    ChooseLanguage(false);
    EnterMotor();
    Trigger(Form1->Load);
    SetLoad(LoadKind::Proportional, "4", "x");
    QMessageBox* box = OpenMessageBox("ConvertErrorBox");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "'x' n'est pas une valeur flottante correcte");
    EXPECT_DOUBLE_EQ(MotorData.T0, 0); // nothing of a refused load is stored
    EXPECT_TRUE(Form5->isVisible());
    EXPECT_FALSE(MotorData.ResultsMode);
}

TEST_F(UiTest, FrenchLoadAndErrorTexts)
{
    ChooseLanguage(true);
    EnterMotor();
    Trigger(Form1->Load);
    EXPECT_EQ(Form5->EX2->text(), "Exemples : Calandres, presses, etc.");
    SetLoad(LoadKind::Constant, "500");
    EXPECT_EQ(ErrorText(), "Le couple de charge est trop grand!");
}
