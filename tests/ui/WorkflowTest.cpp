// The guided order of the start menu, the results view and its recomputations.

#include "UiFixture.h"

#include "About.h"
#include "MainCharts.h"
#include "ErrorMessages.h"
#include "SelMot.h"

#include <cmath>

TEST_F(UiTest, WholeWorkflowShowsTheResultsOfTheFourKilowattMotor)
{
    RunWorkflow();
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), Form1);
    EXPECT_TRUE(MotorData.ResultsMode);
    EXPECT_FALSE(MotorData.DataChanged);
    EXPECT_EQ(MotorData.StartStep, 0);
    EXPECT_FALSE(Form1->Panel3->isVisible());
    for (QWidget* w : {static_cast<QWidget*>(Form1->Panel1), static_cast<QWidget*>(Form1->Panel2),
                       static_cast<QWidget*>(Form1->Label35), static_cast<QWidget*>(Form1->Label36),
                       static_cast<QWidget*>(Form1->Button4), AsWidget(Form1->xyGraph3),
                       AsWidget(Form1->xyGraph4)})
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_FALSE(AsWidget(Form1->xyGraph1)->isVisible());
    EXPECT_FALSE(AsWidget(Form1->xyGraph2)->isVisible());

    EXPECT_EQ(Form1->Edit1->text(), "4000");
    EXPECT_EQ(Form1->Edit2->text(), "400");
    EXPECT_EQ(Form1->Edit3->text(), "50");
    EXPECT_EQ(Form1->Edit4->text(), Dec("8.5"));
    EXPECT_EQ(Form1->Edit15->text(), Dec("4.5"));
    EXPECT_EQ(Form1->Edit5->text(), Dec("0.82"));
    EXPECT_EQ(Form1->Edit6->text(), "4829");
    EXPECT_EQ(Form1->Edit7->text(), "2");
    EXPECT_EQ(Form1->Edit8->text(), "27");
    EXPECT_EQ(Form1->Edit9->text(), "1440");
    EXPECT_EQ(Form1->Edit10->text(), "83");
    EXPECT_EQ(Form1->Edit16->text(), Dec("10.00"));
    EXPECT_EQ(Form1->Edit18->text(), Dec("10.00"));
    EXPECT_EQ(Form1->Edit19->text(), Dec("4.20"));
    EXPECT_EQ(Form1->Edit17->text(), Dec("2.99"));
    EXPECT_LT(MotorData.ImaxIn, 3.0);
    EXPECT_DOUBLE_EQ(MotorData.DesiredImaxIn, 3.0);
    // The soft-starter results read like the rated values: enabled, read-only, without focus.
    for (QLineEdit* e : {Form1->Edit16, Form1->Edit17, Form1->Edit18, Form1->Edit19}) {
        EXPECT_TRUE(e->isEnabled()) << e->objectName().toStdString();
        EXPECT_TRUE(e->isReadOnly()) << e->objectName().toStdString();
        EXPECT_EQ(e->focusPolicy(), Qt::NoFocus) << e->objectName().toStdString();
    }
}

TEST_F(UiTest, ChartsHoldTheComputedSeries)
{
    RunWorkflow();
    const auto dolCurrent = SeriesPoints(Form1->xyGraph3, 1);
    const auto ssCurrent = SeriesPoints(Form1->xyGraph3, 2);
    const auto dolTorque = SeriesPoints(Form1->xyGraph4, 1);
    const auto ssTorque = SeriesPoints(Form1->xyGraph4, 2);
    ASSERT_EQ(dolCurrent.size(), 100u);
    ASSERT_EQ(ssCurrent.size(), 100u);
    ASSERT_EQ(dolTorque.size(), 100u);
    ASSERT_EQ(ssTorque.size(), 100u);
    for (int k = 0; k < 100; ++k) {
        EXPECT_DOUBLE_EQ(dolCurrent[k].first, MotorData.TimeAxis[k]);
        EXPECT_DOUBLE_EQ(dolCurrent[k].second, MotorData.DolCurrentCurve[k]);
        EXPECT_DOUBLE_EQ(ssCurrent[k].second, MotorData.SoftStarterCurrentCurve[k]);
        EXPECT_DOUBLE_EQ(dolTorque[k].second, MotorData.DolTorqueCurve[k]);
        EXPECT_DOUBLE_EQ(ssTorque[k].second, MotorData.SoftStarterTorqueCurve[k]);
    }
    EXPECT_DOUBLE_EQ(dolCurrent.back().first, 14.85);
    // the soft-starter current starts at the preset voltage, well below the DOL one
    EXPECT_LT(ssCurrent.front().second, 0.2 * dolCurrent.front().second);
}

TEST_F(UiTest, StepsOutOfOrderAreRefusedWithThirtyAndThirtyOne)
{
    ChooseLanguage(false);
    Click(Form1->Button2);
    EXPECT_EQ(MotorData.ErrorNumber, 30);
    EXPECT_EQ(ErrorText(), "Select motor in list before!");
    EXPECT_FALSE(Form6->isVisible());
    AcknowledgeError();
    Click(Form1->Button3);
    EXPECT_EQ(MotorData.ErrorNumber, 30);
    AcknowledgeError();
    EnterMotor();
    Click(Form1->Button3);
    EXPECT_EQ(MotorData.ErrorNumber, 31);
    EXPECT_EQ(ErrorText(), "Select Soft-Starter parameters before!");
    EXPECT_FALSE(Form5->isVisible());
    AcknowledgeError();
    EXPECT_TRUE(Form1->Panel3->isVisible());
    Click(Form1->Button2);
    EXPECT_TRUE(Form6->isVisible());
}

TEST_F(UiTest, FrenchOrderErrorKeepsItsCaret)
{
    ChooseLanguage(true);
    Click(Form1->Button2);
    EXPECT_EQ(ErrorText(), "Il faut d'a^bord choisir le moteur dans la liste!");
    AcknowledgeError();
    EnterMotor();
    Click(Form1->Button3);
    EXPECT_EQ(ErrorText(), "Il faut d'abord parametrer le Soft-Starter!");
}

TEST_F(UiTest, ReturnKeepsTheDataAndRestartsTheSteps)
{
    RunWorkflow();
    const double power = MotorData.MechanicalPower, ramp = MotorData.SoftStarterTime;
    Click(Form1->Button4);
    EXPECT_EQ(MotorData.StartStep, 0);
    EXPECT_FALSE(MotorData.ResultsMode);
    EXPECT_TRUE(Form1->Panel3->isVisible());
    EXPECT_FALSE(Form1->Panel1->isVisible());
    EXPECT_FALSE(AsWidget(Form1->xyGraph3)->isVisible());
    EXPECT_FALSE(Form1->Button4->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, power);
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, ramp);
    Click(Form1->Button2);
    EXPECT_EQ(MotorData.ErrorNumber, 30);
    AcknowledgeError();
    Trigger(Form1->RatedValues);
    EXPECT_EQ(Form2->Edit1->text(), "4000");
    Click(Form2->Button1);
    Click(Form1->Button2);
    EXPECT_EQ(Form6->Edit1->text(), Dec("10.00"));
    EXPECT_TRUE(Form6->RadioButton1->isChecked());
    EXPECT_TRUE(Form6->Panel1->isVisible());
}

TEST_F(UiTest, ASecondActivationDoesNotRecompute)
{
    RunWorkflow();
    // A value changed behind the windows' back is not shown until some OK asks for a computation.
    MotorData.EstimatedStartTime = 20;
    Trigger(Form1->About1);
    Click(AboutBox->OKButton);
    EXPECT_EQ(QApplication::activeWindow(), Form1);
    EXPECT_EQ(Form1->Edit16->text(), Dec("10.00"));
}

TEST_F(UiTest, CancelDoesNotRecomputeButOkDoes)
{
    RunWorkflow();
    Trigger(Form1->SoftStarter);
    Form6->RadioButton2->setChecked(true);
    Form6->Edit5->setText("7");
    Click(Form6->Button2);
    EXPECT_EQ(Form1->Edit19->text(), Dec("4.20"));
    EXPECT_FALSE(MotorData.DataChanged);
    Trigger(Form1->SoftStarter);
    EXPECT_TRUE(Form6->RadioButton2->isChecked()); // the mode changed at the click
    Form6->Edit5->setText("7");
    Click(Form6->Button1);
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_EQ(Form1->Edit19->text(), Dec("7.00"));
    EXPECT_EQ(MotorData.StartStep, 2);
    EXPECT_FALSE(MotorData.DataChanged);
}

TEST_F(UiTest, DisplayStaticCurvesOnAndOff)
{
    RunWorkflow();
    Trigger(Form1->DisplayStatic);
    EXPECT_TRUE(Form1->DisplayStatic->isChecked());
    EXPECT_TRUE(MotorData.ShowStaticCurves);
    EXPECT_TRUE(AsWidget(Form1->xyGraph1)->isVisible());
    EXPECT_TRUE(AsWidget(Form1->xyGraph2)->isVisible());
    const auto current = SeriesPoints(Form1->xyGraph1, 1);
    ASSERT_EQ(current.size(), 100u);
    EXPECT_DOUBLE_EQ(current[0].first, 0);
    EXPECT_NEAR(current[1].first, 1 - std::exp(-0.075), 1e-12);
    EXPECT_EQ(SeriesPoints(Form1->xyGraph2, 2).size(), 100u);
    Trigger(Form1->DisplayStatic);
    EXPECT_FALSE(Form1->DisplayStatic->isChecked());
    EXPECT_FALSE(MotorData.ShowStaticCurves);
    EXPECT_FALSE(AsWidget(Form1->xyGraph1)->isVisible());
    EXPECT_FALSE(AsWidget(Form1->xyGraph2)->isVisible());
    EXPECT_TRUE(AsWidget(Form1->xyGraph3)->isVisible());
}

TEST_F(UiTest, DisplayStaticCurvesWithoutAMotorShowsTheModelMessage)
{
    ChooseLanguage(false);
    Trigger(Form1->DisplayStatic);
    EXPECT_TRUE(ErrorShown());
    EXPECT_NE(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(ErrorText().isEmpty());
    EXPECT_NE(ErrorText(), "Error");
    EXPECT_FALSE(Form1->DisplayStatic->isChecked());
    EXPECT_FALSE(MotorData.ShowStaticCurves);
    EXPECT_FALSE(Form1->Panel1->isVisible());
    EXPECT_FALSE(AsWidget(Form1->xyGraph1)->isVisible());
    EXPECT_TRUE(Form1->Panel3->isVisible());
}

TEST_F(UiTest, DisplayStaticCurvesInTheStartMenuComputesAtOnce)
{
    ChooseLanguage(false);
    EnterMotor();
    Trigger(Form1->DisplayStatic);
    EXPECT_FALSE(ErrorShown());
    EXPECT_TRUE(Form1->Panel1->isVisible());
    EXPECT_TRUE(Form1->Panel3->isVisible());
    EXPECT_TRUE(AsWidget(Form1->xyGraph1)->isVisible());
    EXPECT_EQ(Form1->Edit1->text(), "4000");
}

TEST_F(UiTest, ChangeEquivalentDiagramBeforeAMotorIsError100)
{
    ChooseLanguage(false);
    Trigger(Form1->EquivalentDiagram);
    EXPECT_EQ(MotorData.ErrorNumber, 100);
    EXPECT_EQ(ErrorText(), "You must declare \"Nominals Values\" before!");
    EXPECT_FALSE(MotorData.MotorFromList);
}

TEST_F(UiTest, StepOneOpensTheCatalogue)
{
    ChooseLanguage(false);
    EnterMotor();
    Click(Form1->Button1);
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_TRUE(MotorData.MotorFromList);
}

TEST_F(UiTest, ErrorDialogBeforeTheLanguageChoiceStillNamesTheError)
{
    Click(Form1->Button3);
    EXPECT_EQ(OKBottomDlg->windowTitle(), "Error");
    EXPECT_EQ(ErrorText(), "Select motor in list before!");
}

TEST_F(UiTest, ClosingTheErrorDialogWithoutOkKeepsTheNumber)
{
    ChooseLanguage(false);
    Click(Form1->Button2);
    OKBottomDlg->close();
    Pump();
    EXPECT_FALSE(ErrorShown());
    EXPECT_EQ(MotorData.ErrorNumber, 30);
}

TEST_F(UiTest, UnreachableCurrentLimitKeepsTheStartMenu)
{
    ChooseLanguage(false);
    EnterMotor();
    Click(Form1->Button2);
    SetLimitMode("0.3"); // below the no-load current: no ramp keeps the current under it
    Click(Form1->Button3);
    SetLoad(LoadKind::None);
    EXPECT_EQ(MotorData.ErrorNumber, ErrLimitUnreachable);
    EXPECT_TRUE(ErrorShown());
    EXPECT_FALSE(MotorData.ResultsMode);
    EXPECT_FALSE(MotorData.DataChanged);
    EXPECT_TRUE(Form1->Panel3->isVisible());
    EXPECT_FALSE(Form1->Panel1->isVisible());
    EXPECT_FALSE(AsWidget(Form1->xyGraph3)->isVisible());
    AcknowledgeError();
    EXPECT_FALSE(ErrorShown()); // the main window's activation does not raise it again
    EXPECT_EQ(MotorData.ErrorNumber, 0);
}

TEST_F(UiTest, ARefusedRecomputationKeepsTheResultsView)
{
    RunWorkflow();
    const QString ramp = Form1->Edit19->text();
    Trigger(Form1->SoftStarter);
    SetLimitMode("0.3");
    EXPECT_EQ(MotorData.ErrorNumber, ErrLimitUnreachable);
    EXPECT_TRUE(MotorData.ResultsMode);
    EXPECT_TRUE(Form1->Panel1->isVisible());
    EXPECT_FALSE(Form1->Panel3->isVisible());
    EXPECT_EQ(Form1->Edit19->text(), ramp);
    EXPECT_EQ(SeriesPoints(Form1->xyGraph4, 1).size(), 100u);
}
