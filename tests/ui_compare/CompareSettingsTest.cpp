// The settings dialog of the starting methods and the starter: where it is reached from, what it
// stores, its numbered refusals, and that typed text survives a refusal.

#include "CompareFixture.h"

class CompareSettings : public CompareTest {
  protected:
    // The refusal now on show: its number and its text.
    static void ExpectRefusal(int number, const std::string& text) {
        ASSERT_TRUE(ErrorShown());
        EXPECT_EQ(MotorData.ErrorNumber, number);
        EXPECT_EQ(ErrorText().toStdString(), text);
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
    f->ReactorEdit->setText("2.5e-1");
    Click(f->OkButton);
    EXPECT_EQ(DynamicData.Methods.ReactorVoltage, 0.25);
    OpenSettings();
    EXPECT_EQ(f->ReactorEdit->text(), Dec("0.25"));

    // The comparison's current limit: empty, the soft-starter's 3 In of this current-limit mode,
    // which the empty field shows; a limit of its own is kept until the field is emptied again.
    EXPECT_EQ(f->LimitEdit->text(), "");
    EXPECT_EQ(f->LimitEdit->placeholderText(), "3");
    EXPECT_EQ(f->LimitLabel->text(), "Current limit for the comparison");
    f->LimitEdit->setText("2,5");
    Click(f->OkButton);
    EXPECT_EQ(DynamicData.Methods.CurrentLimit, 2.5);
    OpenSettings();
    EXPECT_EQ(f->LimitEdit->text(), Dec("2.5"));
    f->LimitEdit->setText(" ");
    Click(f->OkButton);
    EXPECT_FALSE(DynamicData.Methods.CurrentLimit);
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
    ExpectRefusal(ErrValueOutOfRange, "The value of \"Autotransformer Tap\" must lie between 0.2 and 0.95!");
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
    ExpectRefusal(ErrValueOutOfRange, "The value of \"Changeover Speed\" must lie between 0.1 and 0.99!");
    AcknowledgeError();
    f->FormActivate();
    EXPECT_EQ(f->ChangeoverEdit->text(), "0");
    EXPECT_EQ(f->TapEdit->text(), "0.6");
    EXPECT_EQ(DynamicData.Methods.ChangeoverSpeed, before.Methods.ChangeoverSpeed);

    // A rating code that is not X-Tx:F-S.
    f->ChangeoverEdit->setText("0.85");
    TypeStarter("100", "3.5/17", "5");
    ExpectRefusal(ErrStarterRatingSyntax,
                  ::ErrorText(ErrStarterRatingSyntax, Language::English, {"3.5/17", "3.5/17"}));
    AcknowledgeError();
    f->FormActivate();
    EXPECT_EQ(f->RatingEdit->text(), "3.5/17");
    EXPECT_EQ(f->RatedCurrentEdit->text(), "100");
    EXPECT_FALSE(DynamicData.Starter);

    // A rated current of 0 or of 1e308, then one that is not a number.
    for (const char* ie : {"0", "1e308"}) {
        TypeStarter(ie, "3.5-17:90-5", "5");
        ExpectRefusal(
            ErrValueAboveAtMost,
            "The value of \"Starter Rated Current Ie\" must be above 0 and at most 100\u00a0000\u00a0A!");
        AcknowledgeError();
    }
    TypeStarter("1OO", "3.5-17:90-5", "5");
    ExpectRefusal(ErrMethodNotANumber, "The value \"1OO\" of \"Starter Rated Current Ie\" is not a number!");
    AcknowledgeError();
    EXPECT_EQ(f->RatedCurrentEdit->text(), "1OO");
    EXPECT_TRUE(f->isVisible());
    // A long text is quoted in part.
    f->RatedCurrentEdit->setText(QString(100, 'x'));
    Click(f->OkButton);
    ExpectRefusal(ErrMethodNotANumber, "The value \"" + std::string(60, 'x') +
                                           "\u2026\" of \"Starter Rated Current Ie\" is not a number!");
    AcknowledgeError();

    // An on-load factor above 100 %, a comparison limit at 1 In.
    TypeStarter("100", "3.5-17:190-5", "5");
    ExpectRefusal(ErrStarterOnLoadFactor,
                  "The value of \"Rating F (on-load factor)\" must lie between 0 and 100\u00a0%!");
    AcknowledgeError();
    f->LimitEdit->setText("1");
    TypeStarter("100", "3.5-17:90-5", "5");
    ExpectRefusal(
        ErrValueAboveAtMost,
        "The value of \"Current Limit for the Comparison\" must be above 1 and at most 10\u00a0In!");
    AcknowledgeError();
    f->LimitEdit->setText("");

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
    EXPECT_EQ(MotorData.ErrorNumber, ErrValueOutOfRange);
    EXPECT_EQ(ErrorText().toStdString(),
              "La valeur de «\u00a0Tension de démarrage avec inductance\u00a0» doit être "
              "comprise entre 0,2 et 0,95\u00a0!");
    EXPECT_EQ(MethodSettingsForm->ReactorEdit->text(), "1,5");
    AcknowledgeError();
    EXPECT_EQ(MethodSettingsForm->LimitLabel->text(), "Limite de courant pour la comparaison");
    MethodSettingsForm->ReactorEdit->setText("0,6");
    MethodSettingsForm->LimitEdit->setText("trois");
    Click(MethodSettingsForm->OkButton);
    EXPECT_EQ(MotorData.ErrorNumber, ErrMethodNotANumber);
    EXPECT_EQ(ErrorText().toStdString(), "La valeur «\u00a0trois\u00a0» de «\u00a0Limite de courant pour la "
                                         "comparaison\u00a0» n'est pas un nombre\u00A0!");
    EXPECT_EQ(MethodSettingsForm->LimitEdit->text(), "trois");
}
