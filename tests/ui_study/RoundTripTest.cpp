// Saving a study through the windows, starting the program again and opening it: every setting comes
// back bit for bit, the results view shows the same panels and curves, and the dialogs offer the
// study's values as if they had been typed.

#include "StudyUiFixture.h"

#include "DynamicTexts.h"
#include "Load.h"
#include "Mechanical.h"
#include "MethodSettings.h"
#include "Network.h"
#include "SchemEqu.h"
#include "SelMot.h"
#include "SoftStar.h"
#include "TextToReal.h"

class RoundTripTest : public StudyUiTest {
  protected:
    // Saves the program's settings as `name`, starts the program again (choosing the language of
    // the run first unless fromLanguagePanel), opens the file and compares everything.
    void ExpectRoundTrip(const QString& name, bool fromLanguagePanel = false)
    {
        ASSERT_TRUE(Form1->Panel1->isVisible()) << "the case has no results";
        ASSERT_EQ(MotorData.ErrorNumber, 0);
        const Study before = Studies()->CurrentStudy();
        const MotorDataSet data = MotorData;
        const DynamicSettings dynamic = DynamicData;
        const ShownResults shown = Shown();
        const bool french = FrenchChosen();
        const QString file = Path(name);

        SaveAs(file);
        ASSERT_EQ(FileBytes(file), StudyText(before));
        EXPECT_EQ(Studies()->StudyPath(), file);

        Restart();
        if (!fromLanguagePanel)
            ChooseLanguage(french);
        Open(file);
        ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();

        ExpectSameStudy(Studies()->CurrentStudy(), before);
        ExpectSameData(MotorData, data);
        EXPECT_EQ(StudyText(Studies()->CurrentStudy()), StudyText(before));
        EXPECT_EQ(DynamicData.Starter.has_value(), dynamic.Starter.has_value());
        EXPECT_EQ(Shown(), shown);
        EXPECT_TRUE(Form1->Panel1->isVisible());
        EXPECT_FALSE(Form1->Panel3->isVisible());
        EXPECT_FALSE(Form1->Panel4->isVisible());
        EXPECT_EQ(Form1->DisplayStatic->isChecked(), data.ShowStaticCurves);
        EXPECT_EQ(FrenchChosen(), french);
        EXPECT_EQ(Form1->windowTitle(), name + " - " + (french ? FrenchCaption : EnglishCaption));
        EXPECT_FALSE(Studies()->StudyChanged());

        // Saved again under another name: the same bytes.
        const QString again = Path("again-" + name);
        SaveAs(again);
        EXPECT_EQ(FileBytes(again), FileBytes(file));
    }

    static std::string SourceInFile(const QString& file)
    {
        const std::string text = FileBytes(file);
        const auto at = text.find("\"source\": \"");
        return at == std::string::npos ? std::string() : text.substr(at + 11, text.find('"', at + 11) - at - 11);
    }
};

TEST_F(RoundTripTest, TypedMotorWithEverySettingComesBackBitForBit)
{
    SetUpTypedCase();
    // The ramp typed for the selected-time mode is kept apart from the one the search found.
    ASSERT_NE(Bits(MotorData.SoftStarterTime), Bits(7.25));
    EXPECT_EQ(Bits(Studies()->CurrentStudy().SoftStarter.RampTime), Bits(7.25));
    ExpectRoundTrip("typed.tarvello");
    EXPECT_EQ(SourceInFile(Path("typed.tarvello")), "typed");
    EXPECT_NE(FileBytes(Path("typed.tarvello")).find("\"rampTime\": 7.25"), std::string::npos);
}

TEST_F(RoundTripTest, DialogsOpenedAfterOpeningShowTheStudyAndOkChangesNothing)
{
    SetUpTypedCase();
    SaveAs(Path("typed.tarvello"));
    Restart();
    ChooseLanguage(false);
    Open(Path("typed.tarvello"));
    const std::string opened = CurrentText();

    Trigger(Form1->RatedValues);
    EXPECT_EQ(Form2->Edit9->text(), "Tarvello Moteurs");
    EXPECT_EQ(Form2->Edit8->text(), "112M-4");
    EXPECT_EQ(Form2->Edit1->text(), "4000");
    EXPECT_TRUE(Form2->RadioButton2->isChecked()); // delta
    Click(Form2->Button2);

    Trigger(Form1->SoftStarter);
    EXPECT_TRUE(Form6->RadioButton1->isChecked());
    EXPECT_TRUE(Form6->Panel1->isVisible());
    EXPECT_EQ(Form6->Edit1->text(), Dec("2.50"));
    EXPECT_EQ(Form6->Edit2->text(), Dec("30.00"));
    EXPECT_EQ(Form6->Edit3->text(), Dec("3.00"));
    Click(Form6->Button1);

    Trigger(Form1->Load);
    EXPECT_TRUE(Form5->RadioButton4->isChecked());
    EXPECT_TRUE(Form5->Edit3->isVisible());
    EXPECT_EQ(Bits(TextToReal(ToStd(Form5->Edit1->text()))), Bits(0.5));
    EXPECT_EQ(Bits(TextToReal(ToStd(Form5->Edit2->text()))), Bits(0.01));
    EXPECT_EQ(Bits(TextToReal(ToStd(Form5->Edit3->text()))), Bits(0.02));
    Click(Form5->Button1);

    Trigger(Form1->StartingMethods);
    EXPECT_EQ(MethodSettingsForm->ChangeoverEdit->text(), Dec("0.85"));
    EXPECT_EQ(MethodSettingsForm->LimitEdit->text(), Dec("2.5"));
    EXPECT_TRUE(MethodSettingsForm->StarterGroup->isChecked());
    EXPECT_EQ(MethodSettingsForm->RatingEdit->text(), "AC-53a: 3.5-17: 90-5");
    Click(MethodSettingsForm->OkButton);

    // Confirming what the dialogs offer keeps the study as it was opened.
    EXPECT_EQ(CurrentText(), opened);
    EXPECT_FALSE(Studies()->StudyChanged());
    EXPECT_EQ(Form1->windowTitle(), "typed.tarvello - " + EnglishCaption);
}

TEST_F(RoundTripTest, ListedMotorComesBackAndTheSelectionHighlightsItsRow)
{
    ChooseLanguage(true);
    ChooseListedMotor(3);
    Trigger(Form1->SoftStarter);
    SetTimeMode("4", "35", "3");
    Trigger(Form1->Load);
    SetLoad(LoadKind::Constant, "5");
    ExpectRoundTrip("listed.tarvello");
    EXPECT_EQ(SourceInFile(Path("listed.tarvello")), "list");
    EXPECT_NE(FileBytes(Path("listed.tarvello")).find("\"circuit\""), std::string::npos);
    EXPECT_NE(FileBytes(Path("listed.tarvello")).find("\"language\": \"fr\""), std::string::npos);

    Trigger(Form1->SelectMotor);
    EXPECT_EQ(Form4->StringGrid1->currentRow(), 3);
    Click(Form4->Button2);
}

TEST_F(RoundTripTest, DiagramEditedMotorComesBackWithItsCircuit)
{
    ChooseLanguage(false);
    ChooseListedMotor(2);
    Trigger(Form1->EquivalentDiagram);
    const double listedRs = MotorData.Rs;
    Form3->Edit1->setText(EditText(listedRs * 1.25));
    Click(Form3->Button1);
    ASSERT_FALSE(Form3->isVisible()) << ErrorText().toStdString();
    Trigger(Form1->SoftStarter);
    SetLimitMode("2.5", "20", "3");
    Trigger(Form1->Load);
    SetLoad(LoadKind::Proportional, "2", "0.05");
    ExpectRoundTrip("diagram.tarvello");
    EXPECT_EQ(SourceInFile(Path("diagram.tarvello")), "diagram");
    EXPECT_EQ(Bits(MotorData.Rs), Bits(listedRs * 1.25));

    // The diagram dialog opened after the study shows its circuit; the selection shows no row, the
    // motor is not the listed one any more.
    Trigger(Form1->EquivalentDiagram);
    EXPECT_EQ(Form3->Edit1->text(), FixedText(listedRs * 1.25, 2));
    Click(Form3->Cancel);
    Trigger(Form1->SelectMotor);
    EXPECT_EQ(Form4->StringGrid1->currentRow(), -1);
    Click(Form4->Button2);
    EXPECT_EQ(SourceInFile(Path("again-diagram.tarvello")), "diagram");
}

TEST_F(RoundTripTest, SourceFollowsTheLastDialogThatSetTheMotor)
{
    ChooseLanguage(false);
    ChooseListedMotor(2);
    EXPECT_EQ(Studies()->CurrentStudy().Motor.Source, MotorSource::List);
    Trigger(Form1->EquivalentDiagram);
    Click(Form3->Button1);
    EXPECT_EQ(Studies()->CurrentStudy().Motor.Source, MotorSource::Diagram);
    // Confirmed again in the selection without a pick: still the diagram's circuit.
    Trigger(Form1->SelectMotor);
    Click(Form4->Button1);
    EXPECT_EQ(Studies()->CurrentStudy().Motor.Source, MotorSource::Diagram);
    // A row picked: listed again.
    ChooseListedMotor(2);
    EXPECT_EQ(Studies()->CurrentStudy().Motor.Source, MotorSource::List);
    Trigger(Form1->EquivalentDiagram);
    Click(Form3->Button1);
    // Typed: the rated values dialog's OK.
    Trigger(Form1->RatedValues);
    Click(Form2->Button1);
    EXPECT_EQ(Studies()->CurrentStudy().Motor.Source, MotorSource::Typed);
    EXPECT_FALSE(Studies()->CurrentStudy().Motor.Circuit.Rs != 0);
}

TEST_F(RoundTripTest, TypedMotorWithTheApproximationOpensFromTheLanguagePanelInItsLanguage)
{
    ChooseLanguage(true);
    Trigger(Form1->RatedValues);
    Motor m;
    m.approximate = true;
    m.noLoad = "";
    TypeMotor(m);
    Trigger(Form1->SoftStarter);
    SetTimeMode("6", "40", "4");
    Trigger(Form1->Load);
    SetLoad(LoadKind::None);
    ExpectRoundTrip("approximate.tarvello", true);
    EXPECT_NE(FileBytes(Path("approximate.tarvello")).find("\"NoLoadLineCurrent\": 0"), std::string::npos);
    EXPECT_TRUE(FrenchChosen());
    EXPECT_EQ(Form1->Button4->text(), "Retour");
}

TEST_F(RoundTripTest, OpeningKeepsTheLanguageOfTheRunAndSavingRecordsIt)
{
    SetUpTypedCase(); // English
    SaveAs(Path("english.tarvello"));
    const std::string english = FileBytes(Path("english.tarvello"));
    ASSERT_NE(english.find("\"language\": \"en\""), std::string::npos);
    Restart();
    ChooseLanguage(true);
    Open(Path("english.tarvello"));
    EXPECT_TRUE(FrenchChosen());
    EXPECT_EQ(Form1->Button4->text(), "Retour");
    EXPECT_EQ(Studies()->OpenStudy->text(), QString::fromUtf8("&Ouvrir une étude…"));
    EXPECT_EQ(Form1->windowTitle(), "english.tarvello - " + FrenchCaption); // not marked as changed
    // Saved during this French run, it becomes a French study and nothing else changes.
    Trigger(Studies()->SaveStudy);
    std::string french = english;
    french.replace(french.find("\"language\": \"en\""), 16, "\"language\": \"fr\"");
    EXPECT_EQ(FileBytes(Path("english.tarvello")), french);
    // So does a study saved as a new file.
    SaveAs(Path("copy.tarvello"));
    EXPECT_EQ(FileBytes(Path("copy.tarvello")), french);
}

TEST_F(RoundTripTest, StudyWithoutASoftStarterModeLeavesNoModeChecked)
{
    // A study of a motor and a load whose soft-starter mode was never chosen.
    Study study;
    study.StudyLanguage = Language::English;
    study.Motor.MechanicalPower = 4000;
    study.Motor.LineVoltage = 400;
    study.Motor.LineCurrent = 8.5;
    study.Motor.PowerFactor = 0.82;
    study.Motor.Frequency = 50;
    study.Motor.RatedSpeed = 1440;
    study.Motor.NoLoadLineCurrent = 4.5;
    study.Load.Kind = ::LoadKind::Constant;
    study.Load.T0 = 3;
    WriteFile(Path("nomode.tarvello"), StudyText(study));

    // The dialog had a mode checked in this run before.
    ChooseLanguage(false);
    Trigger(Form1->SoftStarter);
    Form6->RadioButton2->setChecked(true);
    Click(Form6->Button2);
    Open(Path("nomode.tarvello"));
    ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    Trigger(Form1->SoftStarter);
    EXPECT_FALSE(Form6->RadioButton1->isChecked());
    EXPECT_FALSE(Form6->RadioButton2->isChecked());
    EXPECT_FALSE(Form6->Panel1->isVisible());
    EXPECT_FALSE(Form6->Panel2->isVisible());
    Click(Form6->Button2);
    EXPECT_EQ(CurrentText(), StudyText(study));
}

TEST_F(RoundTripTest, OpeningClosesTheMechanicalAndNetworkDialogsSoThatNoneOffersOldValues)
{
    SetUpTypedCase();
    SaveAs(Path("typed.tarvello"));
    Restart();
    ChooseLanguage(false);
    // Dialogs left open with the values of the program before the study.
    Trigger(Form1->Mechanical1);
    Trigger(Form1->Network1);
    ASSERT_TRUE(MechanicalForm->isVisible() && NetworkForm->isVisible());
    const QString oldLoadInertia = MechanicalForm->Edit2->text();
    Open(Path("typed.tarvello"));
    ASSERT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    EXPECT_FALSE(MechanicalForm->isVisible());
    EXPECT_FALSE(NetworkForm->isVisible());
    const std::string opened = CurrentText();

    // Opened again, they offer the study's values, and OK keeps the study as it was.
    Trigger(Form1->Mechanical1);
    EXPECT_NE(MechanicalForm->Edit2->text(), oldLoadInertia);
    EXPECT_EQ(Bits(TextToReal(ToStd(MechanicalForm->Edit2->text()))), Bits(0.05));
    Click(MechanicalForm->Button1);
    Trigger(Form1->Network1);
    EXPECT_EQ(Bits(TextToReal(ToStd(NetworkForm->DipEdit->text()))), Bits(12.5));
    Click(NetworkForm->Button1);
    EXPECT_EQ(CurrentText(), opened);
    EXPECT_FALSE(Studies()->StudyChanged());
}
