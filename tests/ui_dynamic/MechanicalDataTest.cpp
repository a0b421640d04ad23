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

    SetMechanical("-0.01", "0.5");
    EXPECT_EQ(MotorData.ErrorNumber, ErrMechanicalNegative);
    EXPECT_EQ(ErrorText(), "The value of Motor Inertia must not be negative!");
    AcknowledgeError();
    EXPECT_TRUE(MechanicalForm->isVisible());
    EXPECT_EQ(MechanicalForm->Edit1->text(), "-0.01");
    EXPECT_EQ(MechanicalForm->Edit2->text(), "0.5");

    MechanicalForm->Edit1->setText("0");
    MechanicalForm->Edit2->setText("0");
    Click(MechanicalForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrTotalInertiaZero);
    EXPECT_EQ(ErrorText(), QString::fromStdString(::ErrorText(ErrTotalInertiaZero, Language::English)));
    AcknowledgeError();
    EXPECT_EQ(MechanicalForm->Edit1->text(), "0");

    MechanicalForm->Edit1->setText("0.02");
    MechanicalForm->Edit3->setText("0");
    Click(MechanicalForm->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrStartTimeLimitRange);
    AcknowledgeError();

    // Not a number: the standard box, then back in the dialog with everything as typed.
    MechanicalForm->Edit3->setText("60");
    MechanicalForm->Edit2->setText("0,1x");
    Click(MechanicalForm->Button1);
    DismissConvertBox();
    ComeBackTo(MechanicalForm);
    EXPECT_TRUE(MechanicalForm->isVisible());
    EXPECT_EQ(MechanicalForm->Edit1->text(), "0.02");
    EXPECT_EQ(MechanicalForm->Edit2->text(), "0,1x");
    EXPECT_EQ(MechanicalForm->Edit3->text(), "60");

    // Nothing was stored by any of them.
    EXPECT_EQ(DynamicData.Mechanical.MotorInertia, before.Mechanical.MotorInertia);
    EXPECT_EQ(DynamicData.Mechanical.LoadInertia, before.Mechanical.LoadInertia);
    EXPECT_EQ(DynamicData.Mechanical.StartTimeLimit, before.Mechanical.StartTimeLimit);

    MechanicalForm->Edit2->setText("0,1");
    Click(MechanicalForm->Button1);
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
    EXPECT_EQ(ErrorText(), "The start-time limit must be greater than 0 s and at most 3600 s!");
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
              QString::fromUtf8("La valeur de « Inertie du moteur » ne doit pas être négative!"));
}
