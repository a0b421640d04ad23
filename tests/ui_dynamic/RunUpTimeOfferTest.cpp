// The soft-starter dialog offers the dynamic direct-on-line run-up time as the estimated start
// time: it fills the field with 2 decimals, stores nothing before OK, and says why when there is
// no run-up time to offer.

#include "DynamicFixture.h"

#include "Checks.h"
#include "ErrorMessages.h"
#include "Identification.h"
#include "TextToReal.h"

namespace {
// The direct-on-line start of the motor in memory, its circuit identified as the dialog does.
MethodOutcome DolStart()
{
    MotorDataSet judged = MotorData;
    if (!judged.MotorFromList)
        IdentifyEquivalentDiagram(judged);
    MethodOutcome out;
    EXPECT_EQ(ComputeMethodStart(judged, DynamicData, StartingMethod::Dol, out).number, 0);
    return out;
}
} // namespace

TEST_F(DynamicUiTest, TheButtonPutsTheDynamicRunUpTimeIntoTheFieldOnly)
{
    ChooseLanguage(false);
    EnterMotor();
    // A heavy inertia, for a run-up time that shows in 2 decimals.
    SetMechanical("0.5", "1");
    Click(Form1->Button2);
    ASSERT_TRUE(Form6->isVisible());
    const MethodOutcome dol = DolStart();
    ASSERT_TRUE(dol.Outcome.RunUpTime.has_value());
    ASSERT_GT(*dol.Outcome.RunUpTime, 0.1);
    Click(Form6->Button3);
    EXPECT_EQ(Form6->Edit1->text(), FixedText(*dol.Outcome.RunUpTime, 2));
    EXPECT_EQ(Form6->Label10->text(), QString::fromUtf8("Direct-on-line run-up time with a total inertia of %1 "
                                                        "kg·m² (motor inertia as given) and no load torque.")
                                          .arg(FixedText(1.5, 2)));
    EXPECT_DOUBLE_EQ(MotorData.EstimatedStartTime, 10); // offered, not stored
    // Only OK stores it, as typed.
    Form6->RadioButton2->setChecked(true);
    Click(Form6->Button1);
    EXPECT_FALSE(Form6->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.EstimatedStartTime, TextToReal(ToStd(FixedText(*dol.Outcome.RunUpTime, 2))));
    // Reopened, the dialog shows the estimate; the button's note is gone with the old opening.
    Trigger(Form1->SoftStarter);
    EXPECT_EQ(Form6->Label10->text(), "");
}

TEST_F(DynamicUiTest, WithoutAMotorTheButtonSaysWhy)
{
    ChooseLanguage(false);
    Trigger(Form1->SoftStarter);
    const QString before = Form6->Edit1->text();
    Click(Form6->Button3);
    EXPECT_EQ(Form6->Edit1->text(), before);
    EXPECT_EQ(Form6->Label10->text(),
              QStringLiteral("No run-up time: %1").arg(FromStd(::ErrorText(ErrNoMotor, Language::English))));
    EXPECT_EQ(Form6->Label10->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_FALSE(ErrorShown()); // a remark, not an error that blocks the dialog's OK
    EXPECT_EQ(MotorData.ErrorNumber, 0);
}

TEST_F(DynamicUiTest, AStalledStartHasNoRunUpTimeToOffer)
{
    RunWorkflowWithLoad(LoadKind::Squared, "105", "12", Dec("-0.6"));
    const MethodOutcome dol = DolStart();
    ASSERT_TRUE(dol.Outcome.Stalled);
    Trigger(Form1->SoftStarter);
    const QString before = Form6->Edit1->text();
    Click(Form6->Button3);
    EXPECT_EQ(Form6->Edit1->text(), before);
    EXPECT_EQ(Form6->Label10->text(),
              QStringLiteral("No run-up time: direct-on-line the motor stalls at %1 rpm with this load.")
                  .arg(FixedText(*dol.Outcome.StallSpeed, 1)));

    // In French, and for a start that runs out of time.
    RestartForms();
    ChooseLanguage(true);
    EnterMotor();
    SetMechanical("50", "0", "1");
    Click(Form1->Button2);
    Click(Form6->Button3);
    const MethodOutcome slow = DolStart();
    ASSERT_TRUE(slow.Outcome.TooLong);
    EXPECT_EQ(Form6->Button3->text(), QString::fromUtf8("Temps de démarrage direct dynamique"));
    EXPECT_EQ(Form6->Label10->text(),
              QString::fromUtf8(
                  "Pas de temps de démarrage : en direct, le moteur n'atteint pas sa vitesse avant la "
                  "limite de 1 s (%1 tr/min).")
                  .arg(FixedText(*slow.Outcome.StallSpeed, 1)));
}
