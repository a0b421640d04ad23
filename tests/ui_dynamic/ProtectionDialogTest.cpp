// The protection dialog driven as a user does, in French: the default setting named, each refusal
// with its number and message while the dialog keeps what was typed and nothing is stored, a relay
// stored and shown again, an emptied setting meaning the rated current, and "aucune" removing it.

#include "DynamicFixture.h"

#include "ErrorMessages.h"
#include "Protection.h"

#include <QComboBox>

TEST_F(DynamicUiTest, ProtectionDialogStoresRefusesAndClearsTheRelay)
{
    RunWorkflowWithLoad(LoadKind::None, "0", "0", "0", true);
    EXPECT_EQ(Form1->Protection1->text(), "&Protection");
    Trigger(Form1->Protection1);
    TProtectionForm* f = ProtectionForm;
    ASSERT_TRUE(f->isVisible());
    EXPECT_EQ(f->windowTitle(), "Protection");
    EXPECT_EQ(f->ClassBox->currentIndex(), 0);
    EXPECT_EQ(f->ClassBox->currentText(), "aucune");
    EXPECT_FALSE(f->SettingEdit->isEnabled());
    EXPECT_EQ(f->SettingLabel->text(), QString::fromUtf8("Réglage du courant du relais Ir"));
    // The default setting is the motor's rated current, named as such.
    EXPECT_EQ(f->SettingEdit->placeholderText(), Dec("8.5"));
    EXPECT_EQ(f->SettingNote->text(),
              QString::fromUtf8("Vide pour la valeur par défaut : le courant assigné du moteur, %1 A.").arg(Dec("8.5")));

    f->ClassBox->setCurrentIndex(2); // class 10
    EXPECT_TRUE(f->SettingEdit->isEnabled());
    struct Case {
        const char *setting, *cold, *hot;
        int number;
        const char* message; // checked when given
    };
    const Case cases[] = {
        {"8", "", "", ErrRelaySettingLow,
         "La valeur de «\u00a0Réglage du courant du relais Ir\u00a0» doit être au moins 8,096\u00a0A\u00a0: le "
         "relais doit supporter le courant assigné du moteur (Ir au moins In / 1,05)\u00a0!"},
        {"85.5", "", "", ErrRelaySettingHigh, nullptr},
        {"x", "", "", ErrMechanicalNotANumber,
         "La valeur «\u00a0x\u00a0» de «\u00a0Réglage du courant du relais Ir\u00a0» n'est pas un nombre\u00a0!"},
        {"", "15", "", ErrWithstandOnlyOne, nullptr},
        {"", "", "12", ErrWithstandOnlyOne, nullptr},
        {"", "0", "0", ErrWithstandRange, nullptr},
        {"", "15", "3601", ErrWithstandRange, nullptr},
        {"9", "10", "12", ErrWithstandHotAboveCold, nullptr},
        {"9", "15", "douze", ErrMechanicalNotANumber, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting + std::string(" ") + c.cold + " " + c.hot);
        f->SettingEdit->setText(Dec(c.setting));
        f->ColdEdit->setText(c.cold);
        f->HotEdit->setText(c.hot);
        Click(f->Button1);
        EXPECT_EQ(MotorData.ErrorNumber, c.number);
        if (c.message) {
            EXPECT_EQ(ErrorText(), QString::fromUtf8(c.message));
        }
        AcknowledgeError();
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(f->SettingEdit->text(), Dec(c.setting));
        EXPECT_EQ(f->ColdEdit->text(), c.cold);
        EXPECT_EQ(f->HotEdit->text(), c.hot);
        EXPECT_FALSE(DynamicData.Protection.has_value());
    }

    // Accepted at the lowest setting shown, then shown again as stored.
    f->ClassBox->setCurrentIndex(3); // class 20
    f->SettingEdit->setText(Dec("8.096"));
    f->ColdEdit->setText("15");
    f->HotEdit->setText("15");
    Click(f->Button1);
    ASSERT_FALSE(ErrorShown()) << ErrorText().toStdString();
    EXPECT_FALSE(f->isVisible());
    ASSERT_TRUE(DynamicData.Protection.has_value());
    EXPECT_EQ(DynamicData.Protection->Class, TripClass::Class20);
    EXPECT_EQ(DynamicData.Protection->RelaySetting, 8.096);
    EXPECT_EQ(DynamicData.Protection->WithstandCold, 15.0);
    EXPECT_EQ(DynamicData.Protection->WithstandHot, 15.0);
    Trigger(Form1->Protection1);
    EXPECT_EQ(f->ClassBox->currentText(), "20");
    EXPECT_EQ(f->SettingEdit->text(), Dec("8.096"));
    EXPECT_EQ(f->HotEdit->text(), "15");

    // Emptied: the rated current, and no withstand times.
    f->ClassBox->setCurrentIndex(1);
    f->SettingEdit->clear();
    f->ColdEdit->clear();
    f->HotEdit->clear();
    Click(f->Button1);
    ASSERT_TRUE(DynamicData.Protection.has_value());
    EXPECT_EQ(DynamicData.Protection->Class, TripClass::Class10A);
    EXPECT_FALSE(DynamicData.Protection->RelaySetting.has_value());
    EXPECT_FALSE(DynamicData.Protection->WithstandCold.has_value());

    // Cancel keeps the relay; "aucune" removes it whatever the fields hold.
    Trigger(Form1->Protection1);
    f->ClassBox->setCurrentIndex(0);
    Click(f->Button2);
    EXPECT_TRUE(DynamicData.Protection.has_value());
    Trigger(Form1->Protection1);
    f->ClassBox->setCurrentIndex(0);
    f->SettingEdit->setText("1");
    Click(f->Button1);
    EXPECT_FALSE(ErrorShown());
    EXPECT_FALSE(DynamicData.Protection.has_value());
    Trigger(Form1->Protection1);
    EXPECT_EQ(f->ClassBox->currentIndex(), 0);
    EXPECT_EQ(f->SettingEdit->text(), "");
}

TEST_F(DynamicUiTest, WithoutAMotorTheRelaySettingWaitsForItsRatedCurrent)
{
    ChooseLanguage(false);
    Trigger(Form1->Protection1);
    TProtectionForm* f = ProtectionForm;
    EXPECT_EQ(f->SettingEdit->placeholderText(), "");
    EXPECT_EQ(f->SettingNote->text(), "Empty for the default: the motor's rated current.");
    f->ClassBox->setCurrentIndex(4);
    f->SettingEdit->setText("3");
    f->ColdEdit->setText("5");
    f->HotEdit->setText("6");
    Click(f->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrWithstandHotAboveCold);
    EXPECT_EQ(ErrorText(), QString::fromUtf8("The locked-rotor withstand time when hot (6\u00a0s) must not be longer "
                                             "than when cold (5\u00a0s)!"));
    AcknowledgeError();
    f->HotEdit->setText("5");
    Click(f->Button1);
    ASSERT_FALSE(ErrorShown());
    EXPECT_EQ(DynamicData.Protection->RelaySetting, 3.0);
    EXPECT_EQ(DynamicData.Protection->Class, TripClass::Class30);
}
