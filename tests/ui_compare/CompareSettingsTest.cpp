// The settings dialog of the starting methods and the starter: where it is reached from, what it
// stores, its numbered refusals, and that typed text survives a refusal.

#include "CompareFixture.h"

class CompareSettings : public CompareTest {
  protected:
    // The refusal now on show: its number, and its English text with the argument filled in.
    static void ExpectRefusal(int number, const ErrorArgument& argument) {
        ASSERT_TRUE(ErrorShown());
        EXPECT_EQ(MotorData.ErrorNumber, number);
        EXPECT_EQ(ErrorText().toStdString(), ::ErrorText(number, Language::English, argument));
    }
};

TEST_F(CompareSettings, ReachedFromTheMenuAndTheWindowAndStored) {
    ChooseLanguage(false);
    OpenSettings();
    TMethodSettingsForm* f = MethodSettingsForm;
    ASSERT_TRUE(f->isVisible());
    EXPECT_EQ(f->windowTitle(), "Starting Methods and Starter");
    EXPECT_EQ(Form1->StartingMethods->text(), "Starting &Methods and Starter...");
    // The defaults in force, with this system's separator.
    EXPECT_EQ(f->ChangeoverEdit->text(), Dec("0.9"));
    EXPECT_EQ(f->TapEdit->text(), Dec("0.65"));
    EXPECT_EQ(f->ReactorEdit->text(), Dec("0.65"));
    EXPECT_FALSE(f->StarterGroup->isChecked());

    f->ChangeoverEdit->setText("0,875");
    f->TapEdit->setText("0.8");
    f->ReactorEdit->setText("0.7");
    TypeStarter("100", "AC-53a: 3.5-17: 90-5", "4");
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(DynamicData.Methods.ChangeoverSpeed, 0.875);
    EXPECT_EQ(DynamicData.Methods.AutotransformerTap, 0.8);
    EXPECT_EQ(DynamicData.Methods.ReactorVoltage, 0.7);
    ASSERT_TRUE(DynamicData.Starter);
    EXPECT_EQ(DynamicData.Starter->RatedCurrent, 100);
    EXPECT_EQ(DynamicData.Starter->RatingCode, "AC-53a: 3.5-17: 90-5");
    EXPECT_EQ(DynamicData.Starter->StartsPerHour, 4);

    // Reopened from the comparison window: the stored values, not rounded, so that confirming
    // again changes nothing.
    OpenCompare();
    Click(CompareForm->SettingsButton);
    ASSERT_TRUE(f->isVisible());
    EXPECT_EQ(f->ChangeoverEdit->text(), Dec("0.875"));
    EXPECT_TRUE(f->StarterGroup->isChecked());
    EXPECT_EQ(f->RatingEdit->text(), "AC-53a: 3.5-17: 90-5");
    Click(f->OkButton);
    EXPECT_EQ(DynamicData.Methods.ChangeoverSpeed, 0.875);
    EXPECT_EQ(DynamicData.Starter->StartsPerHour, 4);

    // Cancel stores nothing.
    OpenSettings();
    f->TapEdit->setText("0.5");
    Click(f->CancelButton);
    EXPECT_EQ(DynamicData.Methods.AutotransformerTap, 0.8);

    // A value typed with an exponent comes back in plain digits.
    OpenSettings();
    f->ReactorEdit->setText("1e-4");
    Click(f->OkButton);
    EXPECT_EQ(DynamicData.Methods.ReactorVoltage, 1e-4);
    OpenSettings();
    EXPECT_EQ(f->ReactorEdit->text(), Dec("0.0001"));
}

TEST_F(CompareSettings, RefusalsKeepTheTypedText) {
    ChooseLanguage(false);
    OpenSettings();
    TMethodSettingsForm* f = MethodSettingsForm;
    const DynamicSettings before = DynamicData;

    // A tap of 1 is no reduced start.
    f->TapEdit->setText("1");
    f->ReactorEdit->setText("0,72");
    Click(f->OkButton);
    ExpectRefusal(ErrMethodFraction, {"Autotransformer Tap", "Prise de l'autotransformateur"});
    AcknowledgeError();
    f->activateWindow(); // the window system gives the dialog the activation back
    Pump();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->TapEdit->text(), "1");
    EXPECT_EQ(f->ReactorEdit->text(), "0,72");
    EXPECT_EQ(DynamicData.Methods.AutotransformerTap, before.Methods.AutotransformerTap);

    // A changeover at standstill never changes over.
    f->TapEdit->setText("0.6");
    f->ChangeoverEdit->setText("0");
    Click(f->OkButton);
    ExpectRefusal(ErrMethodFraction, {"Changeover Speed", "Vitesse de commutation"});
    AcknowledgeError();
    f->FormActivate();
    EXPECT_EQ(f->ChangeoverEdit->text(), "0");
    EXPECT_EQ(f->TapEdit->text(), "0.6");
    EXPECT_EQ(DynamicData.Methods.ChangeoverSpeed, before.Methods.ChangeoverSpeed);

    // A rating code that is not X-Tx:F-S.
    f->ChangeoverEdit->setText("0.85");
    TypeStarter("100", "3.5/17", "5");
    ExpectRefusal(ErrStarterRatingSyntax, {"3.5/17", "3.5/17"});
    AcknowledgeError();
    f->FormActivate();
    EXPECT_EQ(f->RatingEdit->text(), "3.5/17");
    EXPECT_EQ(f->RatedCurrentEdit->text(), "100");
    EXPECT_FALSE(DynamicData.Starter);

    // A rated current of 0, then one that is not a number.
    TypeStarter("0", "3.5-17:90-5", "5");
    ExpectRefusal(ErrStarterNotPositive, {"Starter Rated Current Ie", "Courant assigné Ie du démarreur"});
    AcknowledgeError();
    TypeStarter("1OO", "3.5-17:90-5", "5");
    EXPECT_FALSE(ErrorShown());
    QMessageBox* box = OpenMessageBox("ConvertErrorBox");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains("1OO"));
    box->close();
    Pump();
    EXPECT_EQ(f->RatedCurrentEdit->text(), "1OO");
    EXPECT_TRUE(f->isVisible());

    // An on-load factor above 100 %.
    TypeStarter("100", "3.5-17:190-5", "5");
    ExpectRefusal(ErrStarterOnLoadFactor, {});
    AcknowledgeError();

    // Nothing was stored by any refusal; the settings as a whole are accepted once corrected.
    EXPECT_EQ(DynamicData.Methods.ChangeoverSpeed, before.Methods.ChangeoverSpeed);
    EXPECT_EQ(DynamicData.Methods.AutotransformerTap, before.Methods.AutotransformerTap);
    EXPECT_EQ(DynamicData.Methods.ReactorVoltage, before.Methods.ReactorVoltage);
    EXPECT_FALSE(DynamicData.Starter);
    TypeStarter("100", "3,5-17:90-5", "5");
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    EXPECT_EQ(DynamicData.Methods.ChangeoverSpeed, 0.85);
    EXPECT_EQ(DynamicData.Methods.AutotransformerTap, 0.6);
    EXPECT_EQ(DynamicData.Methods.ReactorVoltage, 0.72);
    ASSERT_TRUE(DynamicData.Starter);
    EXPECT_EQ(DynamicData.Starter->RatingCode, "3,5-17:90-5");
}

TEST_F(CompareSettings, FrenchRefusal) {
    ChooseLanguage(true);
    OpenSettings();
    MethodSettingsForm->ReactorEdit->setText("1,5");
    Click(MethodSettingsForm->OkButton);
    ASSERT_TRUE(ErrorShown());
    EXPECT_EQ(MotorData.ErrorNumber, ErrMethodFraction);
    EXPECT_EQ(ErrorText().toStdString(),
              ::ErrorText(ErrMethodFraction, Language::French,
                          {"Reactor Starting Voltage", "Tension de démarrage avec inductance"}));
    EXPECT_EQ(MethodSettingsForm->ReactorEdit->text(), "1,5");
}
