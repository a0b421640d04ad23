// The study's name and change mark before the caption, and the question before a changed study is
// left: on Exit (menu, Exit button, close box) and before another study is opened.

#include "StudyUiFixture.h"

#include "SoftStar.h"

class CaptionAndExitTest : public StudyUiTest {
  protected:
    // Saves the typed case as "pump-12.tarvello" and changes the preset afterwards.
    void SetUpChangedStudy()
    {
        SetUpTypedCase();
        SaveAs(Path("pump-12.tarvello"));
        saved_ = FileBytes(Path("pump-12.tarvello"));
        ASSERT_FALSE(saved_.empty());
        Trigger(Form1->SoftStarter);
        SetLimitMode("3", "20", "2.5");
        ASSERT_EQ(MotorData.ErrorNumber, 0);
        ASSERT_EQ(Form1->windowTitle(), "pump-12.tarvello* - " + EnglishCaption);
    }

    // Runs the exit and answers the question, if one comes, with `button`. Returns whether the
    // program ended, and the question's name (empty when none was asked).
    bool ExitAnswering(const std::function<void()>& exit, QMessageBox::StandardButton button, QString* question)
    {
        QSignalSpy closed(Form1, &TForm1::Closed);
        Answering({Press(button, question)}, exit);
        return closed.count() == 1;
    }

    std::string saved_;
};

TEST_F(CaptionAndExitTest, CaptionShowsTheStudyAndItsChangeMark)
{
    EXPECT_EQ(Form1->windowTitle(), "Tarvello : Soft-Starter Simultator for Induction Motor"); // as designed
    SetUpTypedCase();
    EXPECT_EQ(Form1->windowTitle(), EnglishCaption);

    SaveAs(Path("pump-12.tarvello"));
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello - " + EnglishCaption);

    // A confirmed change marks it, the same value typed again takes the mark away.
    Trigger(Form1->SoftStarter);
    SetLimitMode("3", "20", "2.5");
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello* - " + EnglishCaption);
    Trigger(Form1->SoftStarter);
    SetLimitMode("3", "30", "2.5");
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello - " + EnglishCaption);

    // The load's kind alone is a change: the same torque under a kind that uses more coefficients.
    Trigger(Form1->Load);
    SetLoad(LoadKind::Proportional, "0.5", "0.01");
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello* - " + EnglishCaption);
    Trigger(Studies()->SaveStudy);
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello - " + EnglishCaption);
    Trigger(Form1->Load);
    SetLoad(LoadKind::Squared, "0.5", "0.01", "0");
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello* - " + EnglishCaption);
    Trigger(Form1->Load);
    SetLoad(LoadKind::Proportional, "0.5", "0.01");
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello - " + EnglishCaption);

    // The static curves, the dynamic settings.
    Trigger(Form1->DisplayStatic);
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello* - " + EnglishCaption);
    Trigger(Form1->DisplayStatic);
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello - " + EnglishCaption);
    DynamicSettings other = ExampleDynamic();
    other.Mechanical.LoadInertia = 0.25;
    SetDynamic(other);
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello* - " + EnglishCaption);
    SetDynamic(ExampleDynamic());
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello - " + EnglishCaption);
    Trigger(Form1->StartingMethods);
    MethodSettingsForm->ChangeoverEdit->setText(QStringLiteral("0.8"));
    Click(MethodSettingsForm->OkButton);
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello* - " + EnglishCaption);
    SetDynamic(other);

    // Save Study writes the same file and takes the mark away.
    Trigger(Studies()->SaveStudy);
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello - " + EnglishCaption);
    EXPECT_NE(FileBytes(Path("pump-12.tarvello")).find("\"LoadInertia\": 0.25"), std::string::npos);

    // Another study opened: its name.
    ASSERT_TRUE(QFile::copy(Path("pump-12.tarvello"), Path("fan.tarvello")));
    Open(Path("fan.tarvello"));
    EXPECT_EQ(Form1->windowTitle(), "fan.tarvello - " + EnglishCaption);
}

TEST_F(CaptionAndExitTest, TypedMotorChangeMarksTheStudy)
{
    SetUpTypedCase();
    SaveAs(Path("pump-12.tarvello"));
    Trigger(Form1->RatedValues);
    Form2->Edit1->setText(QStringLiteral("4100"));
    Click(Form2->Button1);
    EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello* - " + EnglishCaption);
}

TEST_F(CaptionAndExitTest, FrenchCaption)
{
    ChooseLanguage(true);
    ChooseListedMotor(1);
    Trigger(Form1->SoftStarter);
    SetTimeMode("4");
    Trigger(Form1->Load);
    SetLoad(LoadKind::None);
    EXPECT_EQ(Form1->windowTitle(), FrenchCaption);
    SaveAs(Path("étude.tarvello"));
    EXPECT_EQ(Form1->windowTitle(), QString::fromUtf8("étude.tarvello - ") + FrenchCaption);
    EXPECT_EQ(Studies()->SaveStudyAs->text(), QString::fromUtf8("Enregistrer l'étude so&us…"));
}

TEST_F(CaptionAndExitTest, ExitWithoutAStudyAsksNothing)
{
    SetUpTypedCase();
    QString question;
    EXPECT_TRUE(ExitAnswering([] { Trigger(Form1->Exit1); }, QMessageBox::Cancel, &question));
    EXPECT_TRUE(question.isEmpty());
}

TEST_F(CaptionAndExitTest, ExitWithAnUnchangedStudyAsksNothing)
{
    SetUpTypedCase();
    SaveAs(Path("pump-12.tarvello"));
    QString question;
    EXPECT_TRUE(ExitAnswering(
        [] {
            Click(Form1->Button4); // the start menu, whose Exit button
            Click(Form1->Button6);
        },
        QMessageBox::Cancel, &question));
    EXPECT_TRUE(question.isEmpty());
}

TEST_F(CaptionAndExitTest, CancelKeepsTheProgramOpenOnEveryWayOut)
{
    SetUpChangedStudy();
    const std::string changed = CurrentText();
    for (const std::function<void()>& exit :
         std::vector<std::function<void()>>{[] { Trigger(Form1->Exit1); }, [] { Form1->close(); },
                                            [] {
                                                Click(Form1->Button4); // the start menu, whose Exit button
                                                Click(Form1->Button6);
                                            }}) {
        QString question;
        EXPECT_FALSE(ExitAnswering(exit, QMessageBox::Cancel, &question));
        EXPECT_EQ(question, "SaveChangesQuestion");
        EXPECT_TRUE(Form1->isVisible());
        EXPECT_EQ(CurrentText(), changed);
        EXPECT_EQ(FileBytes(Path("pump-12.tarvello")), saved_);
        EXPECT_EQ(Form1->windowTitle(), "pump-12.tarvello* - " + EnglishCaption);
    }
}

TEST_F(CaptionAndExitTest, NoQuitsWithoutSaving)
{
    SetUpChangedStudy();
    QString question, text;
    QSignalSpy closed(Form1, &TForm1::Closed);
    Answering({Press(QMessageBox::No, &question, &text)}, [] { Form1->close(); });
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(question, "SaveChangesQuestion");
    EXPECT_TRUE(text.contains("pump-12.tarvello")) << text.toStdString();
    EXPECT_EQ(FileBytes(Path("pump-12.tarvello")), saved_);
}

TEST_F(CaptionAndExitTest, YesSavesThenQuits)
{
    SetUpChangedStudy();
    const std::string changed = CurrentText();
    QString question;
    EXPECT_TRUE(ExitAnswering([] { Trigger(Form1->Exit1); }, QMessageBox::Yes, &question));
    EXPECT_EQ(question, "SaveChangesQuestion");
    EXPECT_EQ(FileBytes(Path("pump-12.tarvello")), changed);
}

TEST_F(CaptionAndExitTest, YesWhoseSaveIsRefusedKeepsTheProgramOpen)
{
    SetUpChangedStudy();
    // The study's folder is gone meanwhile.
    const QString folder = Path("gone");
    ASSERT_TRUE(QDir().mkdir(folder));
    SaveAs(folder + "/pump.tarvello");
    ASSERT_TRUE(QDir(folder).removeRecursively());
    Trigger(Form1->SoftStarter);
    SetLimitMode("3", "15", "2.5");
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    QString question;
    EXPECT_FALSE(ExitAnswering([] { Trigger(Form1->Exit1); }, QMessageBox::Yes, &question));
    EXPECT_EQ(question, "SaveChangesQuestion");
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_TRUE(ErrorShown());
    EXPECT_EQ(MotorData.ErrorNumber, ErrStudyCannotSave);
    EXPECT_EQ(Form1->windowTitle(), "pump.tarvello* - " + EnglishCaption);
}

TEST_F(CaptionAndExitTest, FrenchQuestion)
{
    ChooseLanguage(true);
    ChooseListedMotor(1);
    Trigger(Form1->SoftStarter);
    SetTimeMode("4");
    Trigger(Form1->Load);
    SetLoad(LoadKind::None);
    SaveAs(Path("pompe.tarvello"));
    Trigger(Form1->Load);
    SetLoad(LoadKind::Constant, "2");
    QString text;
    QMessageBox* asked = nullptr;
    Answering({[&](QWidget* w) {
                  asked = qobject_cast<QMessageBox*>(w);
                  ASSERT_NE(asked, nullptr);
                  text = asked->text();
                  EXPECT_EQ(asked->button(QMessageBox::Yes)->text(), "&Oui");
                  EXPECT_EQ(asked->button(QMessageBox::Cancel)->text(), "Annuler");
                  asked->button(QMessageBox::Cancel)->click();
              }},
              [] { Trigger(Form1->Exit1); });
    EXPECT_EQ(text, QString::fromUtf8("L'étude « pompe.tarvello » a été modifiée. Voulez-vous enregistrer les "
                                      "modifications ?"));
}

TEST_F(CaptionAndExitTest, OpeningAnotherStudyAsksAboutTheChangedOne)
{
    SetUpChangedStudy();
    ASSERT_TRUE(QFile::copy(Path("pump-12.tarvello"), Path("other.tarvello")));
    const std::string changed = CurrentText();

    // Cancel: no file dialog, nothing changes.
    QString question;
    EXPECT_EQ(Answering({Press(QMessageBox::Cancel, &question)}, [] { Trigger(Studies()->OpenStudy); }), 1);
    EXPECT_EQ(question, "SaveChangesQuestion");
    EXPECT_EQ(Studies()->StudyPath(), Path("pump-12.tarvello"));
    EXPECT_EQ(CurrentText(), changed);

    // No: the other study opens, the changed one stays unsaved.
    EXPECT_EQ(Answering({Press(QMessageBox::No), TypeFileName(Path("other.tarvello"))},
                        [] { Trigger(Studies()->OpenStudy); }),
              2);
    EXPECT_EQ(Studies()->StudyPath(), Path("other.tarvello"));
    EXPECT_EQ(FileBytes(Path("pump-12.tarvello")), saved_);
    EXPECT_EQ(Form1->windowTitle(), "other.tarvello - " + EnglishCaption);
}

TEST_F(CaptionAndExitTest, SaveAsAddsTheSuffixAndAsksBeforeReplacing)
{
    SetUpTypedCase();
    SaveAs(Path("pump"));
    EXPECT_TRUE(QFile::exists(Path("pump.tarvello")));
    EXPECT_FALSE(QFile::exists(Path("pump")));
    SaveAs(Path("pump.v2"));
    EXPECT_TRUE(QFile::exists(Path("pump.v2.tarvello")));
    EXPECT_EQ(Studies()->StudyPath(), Path("pump.v2.tarvello"));

    // Replacing an existing study is asked first, by the dialog or here; No writes nothing.
    WriteFile(Path("pump.tarvello"), "old");
    WriteFile(Path("pump.v2.tarvello"), "old");
    // The dialog's own question leaves it open for another name: it is cancelled then.
    const std::pair<const char*, bool> cases[] = {{"pump.tarvello", true}, {"pump", true}, {"pump.v2", false}};
    for (const auto& [typed, askedByTheDialog] : cases) {
        std::vector<Answer> answers = {TypeFileName(Path(typed)), Press(QMessageBox::No)};
        if (askedByTheDialog)
            answers.push_back(Cancel());
        EXPECT_EQ(Answering(answers, [] { Trigger(Studies()->SaveStudyAs); }), static_cast<int>(answers.size()))
            << typed;
        EXPECT_EQ(FileBytes(Path("pump.tarvello")), "old");
        EXPECT_EQ(FileBytes(Path("pump.v2.tarvello")), "old");
    }
    EXPECT_EQ(
        Answering({TypeFileName(Path("pump.v2")), Press(QMessageBox::Yes)}, [] { Trigger(Studies()->SaveStudyAs); }),
        2);
    EXPECT_EQ(FileBytes(Path("pump.v2.tarvello")), CurrentText());

    // The dialog offers the study's filter and suffix.
    QString filters, suffix;
    Answering({[&](QWidget* w) {
                  auto* dialog = qobject_cast<QFileDialog*>(w);
                  ASSERT_NE(dialog, nullptr);
                  filters = dialog->nameFilters().join('|');
                  suffix = dialog->defaultSuffix();
                  dialog->reject();
              }},
              [] { Trigger(Studies()->SaveStudyAs); });
    EXPECT_EQ(filters, "Tarvello study (*.tarvello)");
    EXPECT_EQ(suffix, "tarvello");
}
