// The supply network dialog: the network switched on and off by "stiff supply" with its values
// kept, the refusals with their numbers, parts out of use that keep what was typed, the diagram
// following the choices with each field's last accepted value, and the dynamic start window's
// busbar voltage and dip flag.

#include "DynamicFixture.h"

#include "DynamicCharts.h"
#include "ErrorMessages.h"
#include "MainCharts.h"
#include "xyGraph.h"

TEST_F(DynamicUiTest, NetworkDialogStartsStiffWithTheMotorsVoltage)
{
    RunWorkflowWithLoad(LoadKind::None);
    Trigger(Form1->Network1);
    ASSERT_TRUE(NetworkForm->isVisible());
    EXPECT_TRUE(NetworkForm->StiffSupply->isChecked());
    EXPECT_FALSE(NetworkForm->SourceBox->isEnabled());
    EXPECT_EQ(NetworkForm->VoltageEdit->text(), "400");
    EXPECT_EQ(NetworkForm->VoltageNote->text(), "the motor's");
    EXPECT_EQ(NetworkForm->PowerEdit->text(), "");
    EXPECT_EQ(NetworkForm->RxEdit->text(), Dec("0.1"));
    EXPECT_EQ(NetworkForm->ParallelEdit->text(), "1");
    EXPECT_EQ(NetworkForm->ReactanceEdit->text(), Dec("0.08"));
    EXPECT_TRUE(NetworkForm->Copper->isChecked());
    EXPECT_EQ(NetworkForm->DipEdit->text(), "10");
    EXPECT_FALSE(NetworkForm->Diagram->CurrentState().network);
    // The dip limit is laid out as the network's rows: a field of 80 px and its unit named after it.
    EXPECT_EQ(NetworkForm->DipEdit->width(), 80);
    EXPECT_EQ(NetworkForm->DipEdit->width(), NetworkForm->VoltageEdit->width());
    const auto* dipUnit = NetworkForm->findChild<QLabel*>(QStringLiteral("DipEditUnit"));
    ASSERT_NE(dipUnit, nullptr);
    EXPECT_EQ(dipUnit->text(), "%");
    EXPECT_EQ(dipUnit->parentWidget(), NetworkForm);
}

TEST_F(DynamicUiTest, WeakTransformerGivesTheBusbarChartAndTheDipOfTheComputation)
{
    RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.0424"));
    SetMechanical(Dec("0.12"));
    OpenDynamicWindow();
    SetWeakTransformer();
    ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    const SupplyNetwork& n = DynamicData.Network;
    EXPECT_TRUE(n.Enabled);
    EXPECT_FALSE(n.SourceVoltage.has_value()); // the motor's, as shown
    EXPECT_EQ(n.ShortCircuitPower, 10e6);
    EXPECT_TRUE(n.HasTransformer);
    EXPECT_EQ(n.TransformerPower, 25e3);
    EXPECT_EQ(n.TransformerUk, 4);
    EXPECT_EQ(n.TransformerUr, 2);
    EXPECT_FALSE(n.HasCable);

    const DynamicResults e = Expected();
    const TDynamicStartForm* w = DynamicStartForm;
    EXPECT_EQ(w->Results().Dol.MaxVoltageDip, e.Dol.MaxVoltageDip);
    // The worked case of the dynamics library: 7.41 % at standstill, 92.59 % at the motor.
    EXPECT_NEAR(e.Dol.MaxVoltageDip, 7.4071, 1e-3);
    EXPECT_EQ(w->DolValue[TDynamicStartForm::MaxDip]->text(), FixedText(e.Dol.MaxVoltageDip, 2));
    EXPECT_EQ(w->DolValue[TDynamicStartForm::MinVoltage]->text(), FixedText(e.Dol.MinMotorVoltage, 2));
    EXPECT_EQ(w->SoftValue[TDynamicStartForm::MaxDip]->text(), FixedText(e.SoftStarter.MaxVoltageDip, 2));
    EXPECT_EQ(w->DolValue[TDynamicStartForm::RunUpTime]->text(), Value(e.Dol.RunUpTime, 3));
    EXPECT_EQ(w->DolValue[TDynamicStartForm::PeakCurrent]->text(), Value(e.Dol.PeakLineCurrent, 1));
    // Below the 10 % limit: not flagged.
    EXPECT_FALSE(e.Dol.VoltageDipExceeded);
    EXPECT_NE(TextColour(w->DolValue[TDynamicStartForm::MaxDip]), QColor(255, 0, 0));

    const auto bus = SeriesPoints(w->VoltageChart, DynamicSeries::DolExtra);
    ASSERT_EQ(bus.size(), e.DolChart.Times.size());
    for (std::size_t k = 0; k < bus.size(); ++k)
        EXPECT_EQ(bus[k].second, e.DolChart.Values.BusVoltage[k]);
    const auto softBus = SeriesPoints(w->VoltageChart, DynamicSeries::SoftExtra);
    ASSERT_EQ(softBus.size(), e.SoftStarterChart.Times.size());
    EXPECT_EQ(softBus.back().second, e.SoftStarterChart.Values.BusVoltage.back());
    const auto motor = SeriesPoints(w->VoltageChart, DynamicSeries::Dol);
    ASSERT_FALSE(motor.empty());
    EXPECT_EQ(motor.front().second, e.DolChart.Values.Voltage.front());
    EXPECT_LT(motor.front().second, 0.93); // the dip at standstill is visible on the motor too
    EXPECT_TRUE(w->SupplyText->text().startsWith("Supply: through the network"));
    EXPECT_EQ(ChartTitle(w->VoltageChart), "Voltage: motor and busbar");

    // A tighter limit flags the direct-on-line dip in red, and only that one.
    Trigger(Form1->Network1);
    NetworkForm->DipEdit->setText("5");
    Click(NetworkForm->Button1);
    const DynamicResults flagged = Expected();
    ASSERT_TRUE(flagged.Dol.VoltageDipExceeded);
    ASSERT_FALSE(flagged.SoftStarter.VoltageDipExceeded);
    EXPECT_EQ(TextColour(w->DolValue[TDynamicStartForm::MaxDip]), QColor(255, 0, 0));
    EXPECT_TRUE(w->DolValue[TDynamicStartForm::MaxDip]->font().bold());
    EXPECT_NE(TextColour(w->SoftValue[TDynamicStartForm::MaxDip]), QColor(255, 0, 0));
}

TEST_F(DynamicUiTest, StiffSupplySwitchesTheNetworkOffAndKeepsItsValues)
{
    RunWorkflowWithLoad(LoadKind::None);
    OpenDynamicWindow();
    const DynamicResults stiff = DynamicStartForm->Results();
    SetWeakTransformer();
    ASSERT_TRUE(DynamicData.Network.Enabled);
    EXPECT_GT(DynamicStartForm->Results().Dol.MaxVoltageDip, 0);

    Trigger(Form1->Network1);
    EXPECT_FALSE(NetworkForm->StiffSupply->isChecked());
    NetworkForm->StiffSupply->setChecked(true);
    EXPECT_FALSE(NetworkForm->TransformerBox->isEnabled());
    EXPECT_EQ(NetworkForm->TPowerEdit->text(), "25"); // out of use, not cleared
    EXPECT_FALSE(NetworkForm->Diagram->CurrentState().network);
    Click(NetworkForm->Button1);
    ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    EXPECT_FALSE(DynamicData.Network.Enabled);
    EXPECT_TRUE(DynamicData.Network.HasTransformer);
    EXPECT_EQ(DynamicData.Network.TransformerPower, 25e3);
    EXPECT_EQ(DynamicData.Network.ShortCircuitPower, 10e6);
    // Back to the stiff supply's results, to the last digit, and no busbar curve.
    EXPECT_EQ(DynamicStartForm->Results().Dol.RunUpTime, stiff.Dol.RunUpTime);
    EXPECT_EQ(DynamicStartForm->Results().Dol.PeakLineCurrent, stiff.Dol.PeakLineCurrent);
    EXPECT_EQ(DynamicStartForm->Results().Dol.MaxVoltageDip, 0);
    EXPECT_EQ(DynamicStartForm->VoltageChart->FindSeries(DynamicSeries::DolExtra), nullptr);

    // Switched on again, everything typed is back in use.
    Trigger(Form1->Network1);
    EXPECT_EQ(NetworkForm->PowerEdit->text(), "10");
    EXPECT_TRUE(NetworkForm->TransformerBox->isChecked());
    NetworkForm->StiffSupply->setChecked(false);
    EXPECT_TRUE(NetworkForm->TransformerBox->isEnabled());
    Click(NetworkForm->Button1);
    EXPECT_TRUE(DynamicData.Network.Enabled);
    EXPECT_NEAR(DynamicStartForm->Results().Dol.MaxVoltageDip, 7.4071, 1e-3);
}

TEST_F(DynamicUiTest, AStiffSupplyStillRefusesADipLimitOutOfRange)
{
    RunWorkflowWithLoad(LoadKind::None);
    Trigger(Form1->Network1);
    ASSERT_TRUE(NetworkForm->StiffSupply->isChecked());
    NetworkForm->DipEdit->setText("150");
    Click(NetworkForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrDipLimitRange);
    AcknowledgeError();
    EXPECT_TRUE(NetworkForm->isVisible());
    EXPECT_EQ(DynamicData.DipLimit, 10);
    NetworkForm->DipEdit->setText("20");
    Click(NetworkForm->Button1);
    ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    EXPECT_FALSE(NetworkForm->isVisible());
    EXPECT_EQ(DynamicData.DipLimit, 20);
}

TEST_F(DynamicUiTest, NetworkRefusalsHaveTheirNumbersAndKeepTheTypedText)
{
    RunWorkflowWithLoad(LoadKind::None);
    Trigger(Form1->Network1);
    NetworkForm->StiffSupply->setChecked(false);
    NetworkForm->TransformerBox->setChecked(true);
    NetworkForm->TPowerEdit->setText("0");
    NetworkForm->UkEdit->setText("4");
    NetworkForm->UrEdit->setText("2");
    Click(NetworkForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrValueOutOfRange);
    EXPECT_EQ(ErrorText(),
              QString::fromUtf8(
                  "The value of \"Transformer Power\" must lie between 1\u00a0kVA and 1000\u00a0MVA!"));
    AcknowledgeError();
    EXPECT_TRUE(NetworkForm->isVisible());
    EXPECT_EQ(NetworkForm->TPowerEdit->text(), "0");

    NetworkForm->TPowerEdit->setText("100");
    NetworkForm->UrEdit->setText("5");
    Click(NetworkForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrTransformerUrAboveUk);
    AcknowledgeError();
    NetworkForm->UrEdit->setText("1");

    NetworkForm->CableBox->setChecked(true);
    NetworkForm->LengthEdit->setText("50");
    NetworkForm->SectionEdit->setText("16");
    NetworkForm->ParallelEdit->setText(Dec("1.5"));
    Click(NetworkForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrCableParallel);
    EXPECT_EQ(ErrorText(), "The value of \"Parallel Cable Runs\" must be a whole number between 1 and 20!");
    AcknowledgeError();
    NetworkForm->ParallelEdit->setText("2");

    NetworkForm->SectionEdit->setText("-16");
    Click(NetworkForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrValueOutOfRange);
    EXPECT_EQ(
        ErrorText(),
        QString::fromUtf8("The value of \"Cable Cross-Section\" must lie between 0.5 and 2500\u00a0mm²!"));
    AcknowledgeError();
    NetworkForm->SectionEdit->setText("16");

    NetworkForm->DipEdit->setText("150");
    Click(NetworkForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrDipLimitRange);
    AcknowledgeError();
    NetworkForm->DipEdit->setText("10");

    NetworkForm->PowerEdit->setText("-3");
    Click(NetworkForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrValueOutOfRange);
    EXPECT_EQ(ErrorText(),
              QString::fromUtf8(
                  "The value of \"Short-Circuit Power\" must lie between 1\u00a0kVA and 100\u00a0GVA!"));
    AcknowledgeError();
    NetworkForm->PowerEdit->setText("");

    // Not a number in a part in use: its numbered message, and the dialog keeps everything typed.
    NetworkForm->LengthEdit->setText("50 m");
    Click(NetworkForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrNetworkNotANumber);
    EXPECT_EQ(ErrorText(), "The value \"50 m\" of \"Cable Length\" is not a number!");
    AcknowledgeError();
    EXPECT_EQ(NetworkForm->LengthEdit->text(), "50 m");
    EXPECT_EQ(NetworkForm->TPowerEdit->text(), "100");
    EXPECT_EQ(NetworkForm->ParallelEdit->text(), "2");
    EXPECT_FALSE(DynamicData.Network.Enabled); // nothing stored yet

    // In a part out of use it is no obstacle: the part keeps its stored value.
    NetworkForm->CableBox->setChecked(false);
    Click(NetworkForm->Button1);
    ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    EXPECT_FALSE(NetworkForm->isVisible());
    EXPECT_TRUE(DynamicData.Network.Enabled);
    EXPECT_FALSE(DynamicData.Network.HasCable);
    EXPECT_EQ(DynamicData.Network.CableLength, 0);
    EXPECT_EQ(DynamicData.Network.CableSection, 16);
    EXPECT_EQ(DynamicData.Network.CableParallel, 2);
    EXPECT_EQ(DynamicData.Network.TransformerPower, 100e3);
    EXPECT_FALSE(DynamicData.Network.ShortCircuitPower.has_value());
}

TEST_F(DynamicUiTest, TheDiagramFollowsTheChoicesAsTheyAreMade)
{
    RunWorkflowWithLoad(LoadKind::None);
    Trigger(Form1->Network1);
    const TNetworkDiagram* d = NetworkForm->Diagram;
    EXPECT_FALSE(d->CurrentState().network);
    NetworkForm->StiffSupply->setChecked(false);
    EXPECT_TRUE(d->CurrentState().network);
    EXPECT_FALSE(d->CurrentState().transformer);
    NetworkForm->TransformerBox->setChecked(true);
    NetworkForm->TPowerEdit->setText("160");
    EXPECT_TRUE(d->CurrentState().transformer);
    EXPECT_TRUE(d->CurrentState().transformerText.startsWith("160 kVA"))
        << ToStd(d->CurrentState().transformerText);
    NetworkForm->CableBox->setChecked(true);
    NetworkForm->LengthEdit->setText("120");
    NetworkForm->Aluminium->setChecked(true);
    EXPECT_TRUE(d->CurrentState().cable);
    EXPECT_TRUE(d->CurrentState().cableText.startsWith("120 m")) << ToStd(d->CurrentState().cableText);
    EXPECT_TRUE(d->CurrentState().cableText.contains(" Al")) << ToStd(d->CurrentState().cableText);
    NetworkForm->PowerEdit->setText("20");
    EXPECT_TRUE(d->CurrentState().source.contains("S_k 20 MVA")) << ToStd(d->CurrentState().source);
    EXPECT_EQ(d->CurrentState().motorText, "4 kW, 400 V");
    // Drawn without fault at any size the layout gives it.
    const QImage picture = const_cast<TNetworkDiagram*>(d)->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    // Cancel forgets all of it.
    Click(NetworkForm->Button2);
    EXPECT_FALSE(DynamicData.Network.Enabled);
    EXPECT_FALSE(DynamicData.Network.HasTransformer);
}

TEST_F(DynamicUiTest, TheDiagramShowsTheLastAcceptedValueOfEachField)
{
    RunWorkflowWithLoad(LoadKind::None);
    Trigger(Form1->Network1);
    TNetworkForm* f = NetworkForm;
    f->StiffSupply->setChecked(false);
    f->TransformerBox->setChecked(true);
    f->CableBox->setChecked(true);
    auto diagram = [f] {
        const TNetworkDiagram::State& s = f->Diagram->CurrentState();
        return s.source + " | " + s.transformerText + " | " + s.cableText;
    };
    // A value never given is left out, not shown as a question mark or as typed.
    f->TPowerEdit->setText("abc");
    EXPECT_FALSE(diagram().contains("kVA") || diagram().contains("?") || diagram().contains("abc")) << ToStd(diagram());
    const struct {
        QLineEdit* edit;
        const char *typed, *mistyped;
        QString shown;
    } cases[] = {
        {f->LengthEdit, "120", "abc", "120 m"},
        // Either separator is read; the diagram writes the regional one, like the fields.
        {f->ReactanceEdit, "0,5", "0..5", QString::fromUtf8("x' %1 Ω/km").arg(Dec("0.5"))},
        {f->ReactanceEdit, "0.25", "", QString::fromUtf8("x' %1 Ω/km").arg(Dec("0.25"))},
        {f->SectionEdit, "70", "7O", QString::fromUtf8("70 mm² Cu")},
        {f->PowerEdit, "20", "2O", "S_k 20 MVA"},
        {f->TPowerEdit, "1.6e2", "16O", "160 kVA"},
        {f->UkEdit, "4", "four", "u_k 4 %"},
        // A number beyond the field's range is not accepted either.
        {f->LengthEdit, "120", "-5", "120 m"},
        {f->UkEdit, "4", "35", "u_k 4 %"},
        {f->PowerEdit, "20", "1e9", "S_k 20 MVA"},
    };
    for (const auto& c : cases) {
        c.edit->setText(QString::fromUtf8(c.typed));
        EXPECT_TRUE(diagram().contains(c.shown)) << c.typed << ": " << ToStd(diagram());
        c.edit->setText(QString::fromUtf8(c.mistyped));
        EXPECT_TRUE(diagram().contains(c.shown)) << c.mistyped << ": " << ToStd(diagram());
        EXPECT_TRUE(!*c.mistyped || !diagram().contains(QString::fromUtf8(c.mistyped))) << ToStd(diagram());
    }
    // The next opening starts again from the stored values: Cancel stored none of these.
    Click(f->Button2);
    Trigger(Form1->Network1);
    f->CableBox->setChecked(true);
    EXPECT_FALSE(diagram().contains("120 m")) << ToStd(diagram());
}

TEST_F(DynamicUiTest, SupplyNetworkInFrench)
{
    RunWorkflowWithLoad(LoadKind::None, "0", "0", "0", true);
    EXPECT_EQ(Form1->Network1->text(), QString::fromUtf8("&Réseau d'alimentation"));
    Trigger(Form1->Network1);
    EXPECT_EQ(NetworkForm->windowTitle(), QString::fromUtf8("Réseau d'alimentation"));
    EXPECT_EQ(NetworkForm->TransformerBox->title(), "Transformateur");
    EXPECT_EQ(NetworkForm->Copper->text(), "Cuivre");
    EXPECT_EQ(NetworkForm->VoltageNote->text(), "celle du moteur");
    NetworkForm->StiffSupply->setChecked(false);
    NetworkForm->RxEdit->setText("-1");
    Click(NetworkForm->Button1);
    EXPECT_EQ(ErrorText(),
              QString::fromUtf8(
                  "La valeur de «\u00a0R/X de la source\u00a0» doit être comprise entre 0 et 10\u00a0!"));
    AcknowledgeError();
    NetworkForm->RxEdit->setText("0,1 0,2");
    Click(NetworkForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrNetworkNotANumber);
    EXPECT_EQ(ErrorText(),
              QString::fromUtf8("La valeur «\u00a00,1 0,2\u00a0» de «\u00a0R/X de la source\u00a0» n'est pas "
                                "un nombre\u00A0!"));
    EXPECT_EQ(NetworkForm->RxEdit->text(), "0,1 0,2");
}

TEST_F(DynamicUiTest, AShortCircuitPowerBeyondTheDoublesInVoltAmperesIsNeverStored)
{
    RunWorkflowWithLoad(LoadKind::None);
    Trigger(Form1->Network1);
    NetworkForm->StiffSupply->setChecked(false);
    NetworkForm->PowerEdit->setText("1e305"); // MVA: a number, but not one in VA
    Click(NetworkForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrValueOutOfRange);
    EXPECT_EQ(ErrorText(),
              QString::fromUtf8(
                  "The value of \"Short-Circuit Power\" must lie between 1\u00a0kVA and 100\u00a0GVA!"));
    AcknowledgeError();
    // Out of use it is not stored either: the data set keeps its last value, which the next opening shows.
    NetworkForm->StiffSupply->setChecked(true);
    Click(NetworkForm->Button1);
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(DynamicData.Network.ShortCircuitPower.has_value());
    NetworkForm->ShowForm();
    Pump();
    EXPECT_EQ(NetworkForm->PowerEdit->text(), "");
}
