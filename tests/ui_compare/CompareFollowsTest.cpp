// The comparison follows the main window: nothing before the first results, a recomputation with
// every confirmed change (at once when shown, on showing otherwise), the supply network's dip,
// and a refused computation that keeps the results shown.

#include "CompareFixture.h"

using Col = TCompareForm;

TEST_F(CompareTest, BeforeAnyResultsSaysWhatToDoFirst) {
    ChooseLanguage(false);
    OpenCompare();
    ASSERT_TRUE(CompareForm->isVisible());
    EXPECT_FALSE(ErrorShown());
    EXPECT_FALSE(CompareForm->HasResults());
    EXPECT_TRUE(CompareForm->Status->isVisible());
    EXPECT_TRUE(CompareForm->Status->text().startsWith("No results yet: first choose the motor"));
    EXPECT_FALSE(CompareForm->Table->isVisible());
    EXPECT_FALSE(CompareForm->CurrentChart->isVisible());
    EXPECT_FALSE(CompareForm->DutyPanel->isVisible());

    // The window stays open through the start menu's steps and shows the first results.
    ActivateMain();
    Click(Form1->Button1);
    PickRow(9);
    Click(Form4->Button1);
    Click(Form1->Button2);
    SetLimitMode("3");
    EXPECT_FALSE(CompareForm->HasResults());
    Click(Form1->Button3);
    SetLoad(LoadKind::Squared, "0", "0", "0.1");
    ASSERT_TRUE(CompareForm->isVisible());
    ASSERT_TRUE(CompareForm->HasResults());
    EXPECT_FALSE(CompareForm->Status->isVisible());
    EXPECT_TRUE(CompareForm->Table->isVisible());
    EXPECT_EQ(*CellValue(Dol, Col::ColRunUp), *Expected().Methods[Dol].Outcome.RunUpTime);
}

TEST_F(CompareTest, RecomputesAfterEveryConfirmedChange) {
    CatalogueFanWorkflow();
    OpenCompare();
    const double fanRunUp = *CellValue(Dol, Col::ColRunUp);

    // A heavier fan, confirmed in the load dialog while the comparison is open.
    ActivateMain();
    Trigger(Form1->Load);
    SetLoad(LoadKind::Squared, "0", "0", "0.11");
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    ASSERT_EQ(MotorData.T2, 0.11);
    ComparisonResults expected = Expected();
    for (int r = 0; r < StartingMethodCount; ++r)
        EXPECT_EQ(*CellValue(r, Col::ColRunUp), *expected.Methods[r].Outcome.RunUpTime);
    EXPECT_GT(*CellValue(Dol, Col::ColRunUp), fanRunUp);
    EXPECT_EQ(CompareForm->ShownMotor().T2, 0.11);

    // Closed, then a method setting changed: computed when shown again, not before.
    Click(CompareForm->CloseButton);
    ASSERT_FALSE(CompareForm->isVisible());
    const double changeover = *CellValue(StarDelta, Col::ColChangeover);
    OpenSettings();
    MethodSettingsForm->ChangeoverEdit->setText(Dec("0.8"));
    Click(MethodSettingsForm->OkButton);
    EXPECT_TRUE(CompareForm->Stale());
    EXPECT_EQ(*CellValue(StarDelta, Col::ColChangeover), changeover);
    OpenCompare();
    EXPECT_FALSE(CompareForm->Stale());
    expected = Expected();
    EXPECT_EQ(*CellValue(StarDelta, Col::ColChangeover), *expected.Methods[StarDelta].ChangeoverSpeed);
    EXPECT_NEAR(*CellValue(StarDelta, Col::ColChangeover), 0.8 * MotorData.SynchronousSpeed * 60, 1e-9);
    EXPECT_TRUE(CompareForm->SettingsLine->text().contains(FixedText(0.8, 2)));

    // A change of the soft-starter mode: the main window recomputes, so does the comparison.
    OpenCompare();
    ActivateMain();
    Click(Form1->Button4); // back to the start menu; the steps again
    Click(Form1->Button1);
    PickRow(9);
    Click(Form4->Button1);
    Click(Form1->Button2);
    SetTimeMode("4");
    Click(Form1->Button3);
    SetLoad(LoadKind::Squared, "0", "0", "0.11");
    ASSERT_EQ(MotorData.SoftStarterTime, 4);
    expected = Expected();
    EXPECT_EQ(*CellValue(SoftRamp, Col::ColRunUp), *expected.Methods[SoftRamp].Outcome.RunUpTime);
    EXPECT_EQ(CompareForm->ShownMotor().SoftStarterTime, 4);
}

TEST_F(CompareTest, SupplyNetworkDipAndARefusedComputation) {
    CatalogueFanWorkflow();
    OpenCompare();
    EXPECT_TRUE(CompareForm->Table->isColumnHidden(Col::ColDip));

    // The network dialog stores its settings and tells the main window, as every dialog does.
    DynamicData.Network.Enabled = true;
    DynamicData.Network.ShortCircuitPower = 20e6;
    DynamicData.Network.HasTransformer = true;
    DynamicData.Network.TransformerPower = 100e3;
    DynamicData.Network.TransformerUk = 6;
    DynamicData.Network.TransformerUr = 1.5;
    Form1->NotifyDynamicInputsChanged();
    Pump();
    EXPECT_FALSE(ErrorShown()) << ErrorText().toStdString();
    EXPECT_FALSE(CompareForm->Table->isColumnHidden(Col::ColDip));
    const ComparisonResults expected = Expected();
    std::optional<int> best;
    for (int r = 0; r < StartingMethodCount; ++r) {
        const double dip = expected.Methods[r].Outcome.MaxVoltageDip;
        EXPECT_GT(dip, 0);
        EXPECT_EQ(*CellValue(r, Col::ColDip), dip);
        if (!best || dip < expected.Methods[*best].Outcome.MaxVoltageDip) best = r;
    }
    EXPECT_TRUE(IsBest(*best, Col::ColDip));
    EXPECT_FALSE(IsBest(Dol, Col::ColDip));
    EXPECT_TRUE(CompareForm->SettingsLine->text().contains("supply network"));

    // A dip limit the computation refuses: its message, and the results before stay on show.
    const double runUp = *CellValue(Dol, Col::ColRunUp);
    DynamicData.DipLimit = 150;
    Form1->NotifyDynamicInputsChanged();
    Pump();
    ASSERT_TRUE(ErrorShown());
    EXPECT_EQ(MotorData.ErrorNumber, ErrDipLimitRange);
    EXPECT_TRUE(CompareForm->HasResults());
    EXPECT_EQ(*CellValue(Dol, Col::ColRunUp), runUp);
    EXPECT_EQ(*CellValue(Dol, Col::ColDip), expected.Methods[Dol].Outcome.MaxVoltageDip);
    EXPECT_TRUE(CompareForm->Status->isVisible());
    EXPECT_TRUE(CompareForm->Status->text().contains(QString::number(ErrDipLimitRange)));
    EXPECT_EQ(CompareForm->CurrentChart->SeriesCount(), 6);
    AcknowledgeError();

    // Put right: computed again, the note of the refusal gone.
    DynamicData.DipLimit = 10;
    Form1->NotifyDynamicInputsChanged();
    Pump();
    EXPECT_FALSE(ErrorShown());
    EXPECT_FALSE(CompareForm->Status->isVisible());
}

TEST_F(CompareTest, FirstComputationRefused) {
    // Settings the computation refuses, stored before the first results (as a dialog would).
    DynamicData.Mechanical.StartTimeLimit = 0;
    ChooseLanguage(false);
    OpenCompare();
    ActivateMain();
    ChooseListedMotor(9);
    Click(Form1->Button2);
    SetLimitMode("3");
    Click(Form1->Button3);
    SetLoad(LoadKind::Squared, "0", "0", "0.1");
    ASSERT_TRUE(MotorData.ResultsMode);
    ASSERT_TRUE(ErrorShown());
    EXPECT_EQ(MotorData.ErrorNumber, ErrStartTimeLimitRange);
    EXPECT_FALSE(CompareForm->HasResults());
    EXPECT_TRUE(CompareForm->Status->text().startsWith("The comparison was refused (message 113)"));
    EXPECT_FALSE(CompareForm->Table->isVisible());
    AcknowledgeError();

    DynamicData.Mechanical.StartTimeLimit = 60;
    Form1->NotifyDynamicInputsChanged();
    Pump();
    EXPECT_FALSE(ErrorShown());
    ASSERT_TRUE(CompareForm->HasResults());
    EXPECT_TRUE(CompareForm->Table->isVisible());
    EXPECT_FALSE(CompareForm->Status->isVisible());
}
