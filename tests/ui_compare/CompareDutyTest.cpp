// The duty check under the table: shown with the starter data, hidden when they are cleared, its
// verdicts and figures those of the computation.

#include "CompareFixture.h"

namespace {
QString Percent(double margin) {
    return (margin >= 0 ? QStringLiteral("+") : QString()) + FixedText(margin * 100, 1) +
           QStringLiteral(" %");
}
} // namespace

class CompareDuty : public CompareTest {
  protected:
    static bool Red(QLabel* l) { return l->palette().color(QPalette::WindowText).red() >= 150; }
    static bool DetailsShown() {
        return CompareForm->DutyRule->isVisible() && CompareForm->DutyOverall->isVisible() &&
               CompareForm->DutyVerdict[0]->isVisible() && CompareForm->DutySmallest->isVisible();
    }
};

TEST_F(CompareDuty, ShownWithStarterDataAndHiddenWhenCleared) {
    CatalogueFanWorkflow();
    OpenCompare();
    TCompareForm* c = CompareForm;
    // No starter yet: a line saying how to give one.
    EXPECT_TRUE(c->DutyPanel->isVisible());
    EXPECT_TRUE(c->DutyHint->isVisible());
    EXPECT_TRUE(c->DutyHint->text().contains("Starting Methods and Starter"));
    EXPECT_FALSE(DetailsShown());
    EXPECT_FALSE(c->Results().Duty);

    // A starter that passes (the 11 kW motor, In = 21.7 A, on a 32 A starter).
    Click(c->SettingsButton);
    TypeStarter("32", "AC-53a: 3.5-17: 90-5", "4");
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    ASSERT_TRUE(c->Results().Duty);
    const ComparisonResults expected = Expected();
    ASSERT_TRUE(expected.Duty);
    const StarterDutyResult& d = *expected.Duty;
    EXPECT_EQ(c->Results().Duty->SmallestIe, d.SmallestIe);
    EXPECT_TRUE(DetailsShown());
    EXPECT_FALSE(c->DutyHint->isVisible());
    EXPECT_TRUE(c->DutyTitle->text().contains("current limit"));
    EXPECT_TRUE(c->DutyRule->text().contains("I_rms ≤ X·Ie"));
    EXPECT_TRUE(c->DutyRule->text().contains("AC-53a: 3.5-17: 90-5"));
    ASSERT_TRUE(d.Pass && d.RmsCurrent && d.RunUpTime && d.SmallestIe && d.CurrentMargin && d.TimeMargin);
    const bool passes[4] = {d.CurrentPass, d.TimePass, d.StartsPass, d.RatedCurrentPass};
    const double margins[4] = {*d.CurrentMargin, *d.TimeMargin, d.StartsMargin, d.RatedCurrentMargin};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(passes[i]);
        EXPECT_EQ(c->DutyVerdict[i]->text(), "passes");
        EXPECT_FALSE(Red(c->DutyVerdict[i]));
        EXPECT_EQ(c->DutyMargin[i]->text(), "margin " + Percent(margins[i]));
    }
    // Starts: S = 5 for N = 4, a margin of 25 %.
    EXPECT_EQ(c->DutyMargin[2]->text(), "margin " + Percent(0.25));
    EXPECT_TRUE(c->DutyCondition[0]->text().contains(FixedText(*d.RmsCurrent, 1)));
    EXPECT_TRUE(c->DutyCondition[1]->text().contains(FixedText(*d.RunUpTime, 3)));
    EXPECT_TRUE(c->DutyRms->text().contains(FixedText(*d.RmsCurrent, 1) + " A"));
    EXPECT_EQ(c->DutySmallest->text(), "Smallest passing Ie: " + FixedText(*d.SmallestIe, 1) + " A.");
    // The smallest Ie is at least the motor's rated current.
    EXPECT_GE(*d.SmallestIe, MotorData.LineCurrent);
    EXPECT_EQ(c->DutyOnLoadFactor->text(), "F (on-load factor, 90 %) is not judged.");
    EXPECT_EQ(c->DutyOverall->text(), "The starter passes.");
    EXPECT_FALSE(Red(c->DutyOverall));

    // A starter too small for the motor and the starts: rated current and starts fail; with
    // S < N no Ie passes.
    SetStarter("20", "3-10:50-2", "3");
    const ComparisonResults small = Expected();
    ASSERT_TRUE(small.Duty);
    EXPECT_FALSE(small.Duty->RatedCurrentPass);
    EXPECT_FALSE(small.Duty->StartsPass);
    EXPECT_FALSE(small.Duty->SmallestIe);
    EXPECT_EQ(c->DutyVerdict[3]->text(), "fails");
    EXPECT_TRUE(Red(c->DutyVerdict[3]));
    EXPECT_EQ(c->DutyVerdict[2]->text(), "fails");
    EXPECT_EQ(c->DutyMargin[2]->text(), "margin " + Percent(2.0 / 3 - 1));
    EXPECT_TRUE(c->DutySmallest->text().startsWith("Smallest passing Ie: none"));
    EXPECT_EQ(c->DutyOverall->text(), "The starter fails.");
    EXPECT_TRUE(Red(c->DutyOverall));

    // Cleared: no duty check, and the typed data wait in the dialog for the next tick.
    OpenSettings();
    MethodSettingsForm->StarterGroup->setChecked(false);
    Click(MethodSettingsForm->OkButton);
    EXPECT_FALSE(DynamicData.Starter);
    EXPECT_FALSE(c->Results().Duty);
    EXPECT_TRUE(c->DutyHint->isVisible());
    EXPECT_FALSE(DetailsShown());
    OpenSettings();
    EXPECT_FALSE(MethodSettingsForm->StarterGroup->isChecked());
    EXPECT_EQ(MethodSettingsForm->RatedCurrentEdit->text(), "20");
    EXPECT_EQ(MethodSettingsForm->RatingEdit->text(), "3-10:50-2");
}

TEST_F(CompareDuty, RampStartJudgedInTheSelectedTimeMode) {
    ChooseLanguage(true);
    ChooseListedMotor(9);
    Click(Form1->Button2);
    SetTimeMode("6");
    Click(Form1->Button3);
    SetLoad(LoadKind::Squared, "0", "0", "0,1");
    SetStarter("25", "3-5:90-10", "10");
    OpenCompare();
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    const ComparisonResults expected = Expected();
    ASSERT_TRUE(expected.Duty);
    const StarterDutyResult& d = *expected.Duty;
    // The ramp's run-up decides the time criterion: the same run-up as the table's soft-ramp row.
    ASSERT_TRUE(d.RunUpTime);
    EXPECT_EQ(*d.RunUpTime, *expected.Methods[SoftRamp].Outcome.RunUpTime);
    TCompareForm* c = CompareForm;
    EXPECT_TRUE(c->DutyTitle->text().contains("rampe"));
    EXPECT_EQ(c->DutyVerdict[1]->text(),
              d.TimePass ? QString::fromUtf8("convient") : QString::fromUtf8("ne convient pas"));
    EXPECT_TRUE(c->DutyCondition[1]->text().contains(FixedText(*d.RunUpTime, 3)));
    EXPECT_EQ(c->DutyOnLoadFactor->text(), QString::fromUtf8("F (facteur de marche, 90 %) n'est pas jugé."));
    EXPECT_EQ(c->DutyOverall->text(), d.Pass ? QString::fromUtf8("Le démarreur convient.")
                                             : QString::fromUtf8("Le démarreur ne convient pas."));
}
