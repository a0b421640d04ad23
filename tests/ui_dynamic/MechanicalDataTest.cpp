// The mechanical data dialog: the typical inertia suggested and named as such, the data-sheet value
// typed, an emptied field meaning "unknown", the refusals with their numbers and the typed text
// kept, the dynamic start window following each confirmed change, and an enlarged dialog that keeps
// its rows together.

#include "DynamicFixture.h"

#include "ErrorMessages.h"

#include <iterator>
#include <vector>

TEST_F(DynamicUiTest, TypicalInertiaIsSuggestedForTheMotorAndKeptAsTypical)
{
    RunWorkflowWithLoad(LoadKind::None);
    Trigger(Form1->Mechanical1);
    const double typical = TypicalMotorInertia(4000, 2);
    ASSERT_GT(typical, 0);
    EXPECT_EQ(MechanicalForm->Edit1->text(), RoundedText(typical));
    EXPECT_EQ(MechanicalForm->SuggestedText(), RoundedText(typical));
    EXPECT_TRUE(MechanicalForm->Note->text().startsWith(
        "Typical value for a 4 kW motor with 2 pairs of poles, not the motor's own"))
        << MechanicalForm->Note->text().toStdString();
    EXPECT_EQ(MechanicalForm->Edit2->text(), "0");
    EXPECT_EQ(MechanicalForm->Edit3->text(), "60");
    // The note follows the field: another value is the data sheet's, an empty one unknown.
    MechanicalForm->Edit1->setText(Dec("0.02"));
    EXPECT_TRUE(MechanicalForm->Note->text().startsWith("The value of the motor's data sheet"));
    MechanicalForm->Edit1->setText("");
    EXPECT_TRUE(MechanicalForm->Note->text().startsWith("Unknown: the typical value for a 4 kW motor"));
    MechanicalForm->Edit1->setText(RoundedText(typical));
    // Kept as suggested: the motor inertia stays unknown, so the typical value follows the motor.
    Click(MechanicalForm->Button1);
    EXPECT_FALSE(MechanicalForm->isVisible());
    EXPECT_FALSE(DynamicData.Mechanical.MotorInertia.has_value());

    OpenDynamicWindow();
    ASSERT_TRUE(DynamicStartForm->HasResults());
    EXPECT_TRUE(DynamicStartForm->Results().TypicalInertia);
    EXPECT_DOUBLE_EQ(DynamicStartForm->Results().MotorInertia, typical);
    EXPECT_TRUE(DynamicStartForm->InertiaText->text().contains(
        "the typical value for a 4 kW motor with 2 pairs of poles, not the motor's own"))
        << DynamicStartForm->InertiaText->text().toStdString();
}

TEST_F(DynamicUiTest, AnEnlargedDialogKeepsItsRowsTogether)
{
    RunWorkflowWithLoad(LoadKind::None);
    Trigger(Form1->Mechanical1);
    // From the heading down: each row's top against the bottom of the one above, then the buttons.
    const TMechanicalForm* f = MechanicalForm;
    auto gaps = [f] {
        const QWidget* column[] = {f->Title, f->Edit1, f->Note, f->Edit2, f->Edit3, f->Button1};
        std::vector<int> g;
        for (std::size_t i = 0; i + 1 < std::size(column); ++i)
            g.push_back(column[i + 1]->y() - column[i]->geometry().bottom());
        return g;
    };
    std::vector<int> expected = gaps();
    MechanicalForm->resize(MechanicalForm->size() + QSize(500, 400));
    Pump();
    expected.back() += 400; // the room goes below the rows
    EXPECT_EQ(gaps(), expected);
}

TEST_F(DynamicUiTest, TypedInertiaRecomputesTheOpenWindowAndDoublingItDoublesTheRunUpTime)
{
    RunWorkflowWithLoad(LoadKind::None);
    OpenDynamicWindow();
    SetMechanical("0.02", "0");
    ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    ASSERT_TRUE(DynamicData.Mechanical.MotorInertia.has_value());
    EXPECT_DOUBLE_EQ(*DynamicData.Mechanical.MotorInertia, 0.02);
    ASSERT_TRUE(DynamicStartForm->HasResults());
    EXPECT_FALSE(DynamicStartForm->Stale());
    const DynamicResults once = Expected();
    ASSERT_TRUE(once.Dol.RunUpTime.has_value());
    EXPECT_EQ(DynamicStartForm->Results().Dol.RunUpTime, once.Dol.RunUpTime);
    EXPECT_EQ(DynamicStartForm->DolValue[TDynamicStartForm::RunUpTime]->text(), Value(once.Dol.RunUpTime, 3));
    EXPECT_FALSE(DynamicStartForm->Results().TypicalInertia);
    EXPECT_TRUE(
        DynamicStartForm->InertiaText->text().contains(QStringLiteral("motor %1 kg").arg(Dec("0.02"))))
        << DynamicStartForm->InertiaText->text().toStdString();

    // The load's inertia as large as the motor's: with no load torque, t_a is proportional to J.
    SetMechanical({}, "0.02");
    const DynamicResults twice = Expected();
    EXPECT_EQ(DynamicStartForm->Results().Dol.RunUpTime, twice.Dol.RunUpTime);
    EXPECT_NEAR(*twice.Dol.RunUpTime / *once.Dol.RunUpTime, 2, 1e-6);
    EXPECT_EQ(DynamicStartForm->DolValue[TDynamicStartForm::RunUpTime]->text(),
              Value(twice.Dol.RunUpTime, 3));
    EXPECT_EQ(DynamicStartForm->SoftValue[TDynamicStartForm::RunUpTime]->text(),
              Value(twice.SoftStarter.RunUpTime, 3));

    // Reopened, the dialog shows every digit stored, and confirming changes nothing.
    DynamicData.Mechanical.MotorInertia = 0.0123456789;
    Trigger(Form1->Mechanical1);
    Click(MechanicalForm->Button1);
    EXPECT_EQ(DynamicData.Mechanical.MotorInertia, 0.0123456789);
}

TEST_F(DynamicUiTest, AnEmptiedMotorInertiaIsUnknownAgain)
{
    RunWorkflowWithLoad(LoadKind::None);
    SetMechanical("0.05");
    ASSERT_TRUE(DynamicData.Mechanical.MotorInertia.has_value());
    Trigger(Form1->Mechanical1);
    EXPECT_EQ(MechanicalForm->Edit1->text(), Dec("0.05"));
    MechanicalForm->Edit1->setText("  ");
    Click(MechanicalForm->Button1);
    EXPECT_FALSE(DynamicData.Mechanical.MotorInertia.has_value());
}

TEST_F(DynamicUiTest, MechanicalRefusalsHaveTheirNumbersAndKeepTheTypedText)
{
    RunWorkflowWithLoad(LoadKind::None);
    const DynamicSettings before = DynamicData;

    // Each field beyond its range, and each mistyped: the numbered message naming the field, the
    // dialog open with everything as typed, nothing stored.
    struct Case {
        QString motor, load, limit;
        int number;
        const char* message;
    };
    const Case cases[] = {
        {"-0.01", "0.5", "60", ErrValueOutOfRange,
         "The value of \"Motor Inertia\" must lie between 0.00001 and 100\u00a0000\u00a0kg·m²!"},
        {"5e-324", "0.5", "60", ErrValueOutOfRange,
         "The value of \"Motor Inertia\" must lie between 0.00001 and 100\u00a0000\u00a0kg·m²!"},
        {"0.02", "1e308", "60", ErrValueOutOfRange,
         "The value of \"Load Inertia\" must lie between 0 and 100\u00a0000\u00a0kg·m²!"},
        {"0.02", "0", "6.3e-322", ErrStartTimeLimitRange,
         "The value of \"Start-Time Limit\" must lie between 0.01 and 3600\u00a0s!"},
        {"0.02", "0,1x", "60", ErrMechanicalNotANumber,
         "The value \"0,1x\" of \"Load Inertia\" is not a number!"},
        {"kg", "0", "60", ErrMechanicalNotANumber, "The value \"kg\" of \"Motor Inertia\" is not a number!"},
        {"0.02", "0", "", ErrMechanicalNotANumber, "The value \"\" of \"Start-Time Limit\" is not a number!"},
    };
    Trigger(Form1->Mechanical1);
    for (const Case& c : cases) {
        MechanicalForm->Edit1->setText(c.motor);
        MechanicalForm->Edit2->setText(c.load);
        MechanicalForm->Edit3->setText(c.limit);
        Click(MechanicalForm->Button1);
        EXPECT_EQ(MotorData.ErrorNumber, c.number) << c.message;
        EXPECT_EQ(ErrorText(), QString::fromUtf8(c.message));
        AcknowledgeError();
        EXPECT_TRUE(MechanicalForm->isVisible());
        EXPECT_EQ(MechanicalForm->Edit1->text(), c.motor);
        EXPECT_EQ(MechanicalForm->Edit2->text(), c.load);
        EXPECT_EQ(MechanicalForm->Edit3->text(), c.limit);
        // Nothing was stored.
        EXPECT_EQ(DynamicData.Mechanical.MotorInertia, before.Mechanical.MotorInertia);
        EXPECT_EQ(DynamicData.Mechanical.LoadInertia, before.Mechanical.LoadInertia);
        EXPECT_EQ(DynamicData.Mechanical.StartTimeLimit, before.Mechanical.StartTimeLimit);
    }

    // The bounds themselves are accepted.
    MechanicalForm->Edit1->setText(Dec("0.00001"));
    MechanicalForm->Edit2->setText("0");
    MechanicalForm->Edit3->setText("3600");
    Click(MechanicalForm->Button1);
    ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    EXPECT_EQ(*DynamicData.Mechanical.MotorInertia, 1e-5);
    SetMechanical("0.02", Dec("0.1"), "60");
    EXPECT_FALSE(MechanicalForm->isVisible());
    EXPECT_DOUBLE_EQ(DynamicData.Mechanical.LoadInertia, 0.1);
    EXPECT_DOUBLE_EQ(*DynamicData.Mechanical.MotorInertia, 0.02);
}

TEST_F(DynamicUiTest, CancelStoresNothingAndTheNextOpeningShowsTheStoredValues)
{
    RunWorkflowWithLoad(LoadKind::None);
    Trigger(Form1->Mechanical1);
    MechanicalForm->Edit2->setText("7");
    Click(MechanicalForm->Button2);
    EXPECT_FALSE(MechanicalForm->isVisible());
    EXPECT_EQ(DynamicData.Mechanical.LoadInertia, 0);
    Trigger(Form1->Mechanical1);
    EXPECT_EQ(MechanicalForm->Edit2->text(), "0");
}

TEST_F(DynamicUiTest, WithoutAMotorTheInertiaStaysUnknownUntilOneIsChosen)
{
    ChooseLanguage(false);
    Trigger(Form1->Mechanical1);
    EXPECT_EQ(MechanicalForm->Edit1->text(), "");
    EXPECT_TRUE(MechanicalForm->Note->text().startsWith("Unknown: once a motor is chosen"));
    // The total cannot be judged yet; the other checks apply.
    MechanicalForm->Edit3->setText("5000");
    Click(MechanicalForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrStartTimeLimitRange);
    EXPECT_EQ(ErrorText(),
              QString::fromUtf8("The value of \"Start-Time Limit\" must lie between 0.01 and 3600\u00a0s!"));
    AcknowledgeError();
    MechanicalForm->Edit3->setText("30");
    Click(MechanicalForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(DynamicData.Mechanical.MotorInertia.has_value());
    EXPECT_DOUBLE_EQ(DynamicData.Mechanical.StartTimeLimit, 30);
}

TEST_F(DynamicUiTest, MechanicalDataInFrench)
{
    RunWorkflowWithLoad(LoadKind::None, "0", "0", "0", true);
    EXPECT_EQ(Form1->Mechanical1->text(), QString::fromUtf8("&Données mécaniques"));
    Trigger(Form1->Mechanical1);
    EXPECT_EQ(MechanicalForm->windowTitle(), QString::fromUtf8("Données mécaniques"));
    EXPECT_EQ(MechanicalForm->Label1->text(), "Inertie du moteur");
    EXPECT_EQ(MechanicalForm->Button2->text(), "Annuler");
    EXPECT_TRUE(MechanicalForm->Note->text().startsWith(
        QString::fromUtf8("Valeur typique pour un moteur de 4 kW à 2 paires de pôles")))
        << MechanicalForm->Note->text().toStdString();
    MechanicalForm->Edit1->setText("-1");
    Click(MechanicalForm->Button1);
    EXPECT_EQ(ErrorText(),
              QString::fromUtf8("La valeur de «\u00a0Inertie du moteur\u00a0» doit être comprise entre "
                                "0,00001 et 100\u00a0000\u00a0kg·m²\u00a0!"));
    AcknowledgeError();
    MechanicalForm->Edit1->setText("un");
    Click(MechanicalForm->Button1);
    EXPECT_EQ(ErrorText(),
              QString::fromUtf8("La valeur «\u00a0un\u00a0» de «\u00a0Inertie du moteur\u00a0» n'est pas "
                                "un nombre\u00A0!"));
    EXPECT_EQ(MechanicalForm->Edit1->text(), "un");
}
