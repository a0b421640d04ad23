// Parameters › Protection driven as a user does, in French: the default setting named, each
// refusal with its number while the dialog keeps what was typed and stores nothing; then each relay
// stored reaches the open windows: the dynamic start's panel gives the direct-on-line start's cold
// verdict (green or red) and thermal capacity, the comparison the same in its two columns; a long
// start fails, an emptied setting is the rated current, no withstand times leave a dash and a note;
// "aucune" takes the relay, the lines and the columns away.

#include "DynamicFixture.h"

#include "Compare.h"
#include "RelaySettings.h"

#include <QComboBox>
#include <QTableWidget>

TEST_F(DynamicUiTest, ProtectionDialogAndTheRelaysVerdictsInThePanelAndTheComparison)
{
    RunWorkflowWithLoad(LoadKind::Squared, "0", "0", Dec("0.01"), true);
    OpenDynamicWindow();
    Trigger(Form1->CompareMethods);
    TDynamicStartForm* d = DynamicStartForm;
    QTableWidget* table = CompareForm->Table;
    EXPECT_TRUE(table->isColumnHidden(TCompareForm::ColRelay));
    Trigger(Form1->Protection1);
    TProtectionForm* f = ProtectionForm;
    EXPECT_EQ(f->ClassBox->currentText(), "aucune");
    EXPECT_EQ(f->SettingEdit->placeholderText(), Dec("8.5"));
    EXPECT_TRUE(f->SettingNote->text().contains(QString::fromUtf8("courant assigné du moteur, %1 A").arg(Dec("8.5"))));

    f->ClassBox->setCurrentIndex(2); // class 10
    const struct {
        const char *setting, *cold, *hot;
        int number;
    } refused[] = {
        {"8", "", "", ErrRelaySettingLow},      {"85.5", "", "", ErrRelaySettingHigh},
        {"x", "", "", ErrMechanicalNotANumber}, {"", "15", "", ErrWithstandOnlyOne},
        {"", "0", "0", ErrWithstandRange},      {"9", "10", "12", ErrWithstandHotAboveCold},
    };
    for (const auto& c : refused) {
        f->SettingEdit->setText(Dec(c.setting));
        f->ColdEdit->setText(c.cold);
        f->HotEdit->setText(c.hot);
        Click(f->Button1);
        EXPECT_EQ(MotorData.ErrorNumber, c.number) << c.setting << " " << c.cold << " " << c.hot;
        if (c.number == ErrRelaySettingLow) {
            EXPECT_EQ(ErrorText(), QString::fromUtf8("La valeur de «\u00a0Réglage du courant du relais Ir\u00a0» doit être au "
                                                     "moins 8,096\u00a0A\u00a0: le relais doit supporter le courant "
                                                     "assigné du moteur (Ir au moins In / 1,05)\u00a0!"));
        }
        AcknowledgeError();
        EXPECT_EQ(f->SettingEdit->text() + f->ColdEdit->text() + f->HotEdit->text(), Dec(c.setting) + c.cold + c.hot);
        EXPECT_FALSE(DynamicData.Protection.has_value());
    }

    const struct {
        int classIndex;          // 1 class 10A ... 4 class 30
        const char* loadInertia; // kg·m²: a heavy one makes the direct-on-line start last about 20 s
        const char *setting, *cold, *hot, *dolVerdict;
    } relays[] = {{3, "0", "8.096", "15", "15", "RÉUSSI "}, // the lowest setting the refusal named
                  {1, "3", "", "", "", "ÉCHEC "},
                  {4, "3", "", "", "", "RÉUSSI "}};
    for (const auto& c : relays) {
        SCOPED_TRACE(c.loadInertia + std::string(" class ") + std::to_string(c.classIndex));
        SetMechanical("0.012", Dec(c.loadInertia), "60");
        f->ShowForm();
        f->ClassBox->setCurrentIndex(c.classIndex);
        f->SettingEdit->setText(Dec(c.setting));
        f->ColdEdit->setText(c.cold);
        f->HotEdit->setText(c.hot);
        Click(f->Button1);
        ASSERT_FALSE(ErrorShown()) << ErrorText().toStdString();
        EXPECT_EQ(DynamicData.Protection->Class, static_cast<TripClass>(c.classIndex - 1));
        EXPECT_EQ(DynamicData.Protection->RelaySetting, TryReadField(f->SettingEdit));
        ComeBackTo(d);
        ASSERT_TRUE(d->Results().Protection.has_value());
        const RelayStart& dol = d->Results().Protection->Dol.Cold;
        const bool withstand = *c.cold != '\0';
        EXPECT_EQ(d->RelayDol->text(), QString::fromUtf8(c.dolVerdict) + Value(dol.TripLevel, dol.TripLevel < 100 ? 1 : 0) + " %");
        EXPECT_EQ(TextColour(d->RelayDol), dol.PassesStart ? QColor(0, 120, 0) : QColor(200, 0, 0));
        EXPECT_EQ(d->TcuDol->text(), withstand ? Value(dol.Tcu, 1) : NoValueText());
        EXPECT_EQ(d->ProtectionText->text().contains("Pas de temps de blocage admissibles"), !withstand);

        // The comparison's direct-on-line and current-limit rows carry the same; star-delta (a star
        // motor) none.
        CompareForm->ShowForm();
        Pump();
        EXPECT_EQ(table->horizontalHeaderItem(TCompareForm::ColRelay)->text(), QString::fromUtf8("Relais\n(à froid)"));
        EXPECT_EQ(table->item(0, TCompareForm::ColRelay)->text(), d->RelayDol->text());
        EXPECT_EQ(table->item(0, TCompareForm::ColTcu)->text(), d->TcuDol->text());
        EXPECT_EQ(table->item(1, TCompareForm::ColRelay)->text(), "");
        EXPECT_EQ(table->item(5, TCompareForm::ColRelay)->text(), d->RelaySoft->text());
    }

    f->ShowForm();
    EXPECT_EQ(f->ClassBox->currentText(), "30");
    f->ClassBox->setCurrentIndex(0);
    f->SettingEdit->setText("1"); // whatever the fields hold
    Click(f->Button1);
    EXPECT_FALSE(ErrorShown() || DynamicData.Protection.has_value());
    ComeBackTo(d);
    EXPECT_FALSE(d->RelayDol->isVisible() || d->ProtectionText->isVisible());
    CompareForm->ShowForm();
    Pump();
    EXPECT_TRUE(table->isColumnHidden(TCompareForm::ColRelay) && table->isColumnHidden(TCompareForm::ColTcu));
}
