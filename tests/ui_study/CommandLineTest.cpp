// A study given on the command line: which argument names it, and the start that opens it without
// the language panel.

#include "StudyUiFixture.h"

TEST(StudyArgument, FirstArgumentThatIsNotAnOptionMadeAbsolute)
{
    const QString start = QStringLiteral("/home/ana/studies");
    EXPECT_EQ(StudyArgument({"tarvello"}, start), QString());
    EXPECT_EQ(StudyArgument({"tarvello", "pump-12.tarvello"}, start), "/home/ana/studies/pump-12.tarvello");
    EXPECT_EQ(StudyArgument({"tarvello", "../pumps/p.tarvello"}, start), "/home/ana/pumps/p.tarvello");
    EXPECT_EQ(StudyArgument({"tarvello", "/tmp/a.tarvello", "b.tarvello"}, start), "/tmp/a.tarvello");
    EXPECT_EQ(StudyArgument({"tarvello", "--verbose", "a.tarvello"}, start), "/home/ana/studies/a.tarvello");
    EXPECT_EQ(StudyArgument({"tarvello", "-x"}, start), QString());
    EXPECT_EQ(StudyArgument({"tarvello", "--", "-odd name.tarvello"}, start), "/home/ana/studies/-odd name.tarvello");
    EXPECT_EQ(StudyArgument({"tarvello", ""}, start), QString());
}

class CommandLineTest : public StudyUiTest {
  protected:
    // The typed case saved from an English run, then a fresh program at its language panel.
    void SaveCase(const QString& name)
    {
        SetUpTypedCase();
        SaveAs(Path(name));
        shown_ = Shown();
        Restart();
    }

    // The file's text with its language given as `language` (a JSON value).
    static std::string WithLanguage(std::string text, const std::string& language)
    {
        const std::string english = "\"language\": \"en\"";
        const auto at = text.find(english);
        EXPECT_NE(at, std::string::npos);
        if (at != std::string::npos)
            text.replace(at, english.size(), "\"language\": " + language);
        return text;
    }

    ShownResults shown_;
};

TEST_F(CommandLineTest, StudyOpensAtStartInItsLanguageWithoutTheLanguagePanel)
{
    SaveCase("pump-12.tarvello");
    const std::string french = WithLanguage(FileBytes(Path("pump-12.tarvello")), "\"fr\"");
    WriteFile(Path("pompe.tarvello"), french);
    ASSERT_TRUE(Form1->Panel4->isVisible());

    Studies()->OpenAtStart(Path("pompe.tarvello"));
    Pump();
    EXPECT_FALSE(Form1->Panel4->isVisible());
    EXPECT_FALSE(Form1->Panel3->isVisible());
    EXPECT_TRUE(Form1->Panel1->isVisible());
    EXPECT_TRUE(FrenchChosen());
    EXPECT_EQ(Form1->Button4->text(), "Retour");
    EXPECT_EQ(Form1->windowTitle(), "pompe.tarvello - " + FrenchCaption);
    EXPECT_EQ(CurrentText(), french);
    EXPECT_EQ(Shown().series, shown_.series);
    EXPECT_FALSE(ErrorShown());
}

TEST_F(CommandLineTest, StudyWithoutALanguageOpensInEnglish)
{
    SaveCase("pump-12.tarvello");
    const std::string text = WithLanguage(FileBytes(Path("pump-12.tarvello")), "null");
    WriteFile(Path("nolanguage.tarvello"), text);
    Studies()->OpenAtStart(Path("nolanguage.tarvello"));
    Pump();
    EXPECT_TRUE(EnglishChosen());
    EXPECT_FALSE(Form1->Panel4->isVisible());
    EXPECT_TRUE(Form1->Panel1->isVisible());
    EXPECT_EQ(Form1->windowTitle(), "nolanguage.tarvello - " + EnglishCaption);
    // Saved, it records the language of this run; opening it is no change.
    EXPECT_EQ(CurrentText(), FileBytes(Path("pump-12.tarvello")));
}

TEST_F(CommandLineTest, RefusedStudyAtStartShowsTheStartMenuAndItsMessage)
{
    WriteFile(Path("broken.tarvello"), "{\n  \"format\": \"tarvello-study\",\n  \"version\": 1,\n  \"motor\": [\n");
    Studies()->OpenAtStart(Path("broken.tarvello"));
    Pump();
    EXPECT_FALSE(Form1->Panel4->isVisible());
    EXPECT_TRUE(Form1->Panel3->isVisible());
    EXPECT_FALSE(Form1->Panel1->isVisible());
    EXPECT_TRUE(EnglishChosen());
    EXPECT_TRUE(ErrorShown());
    EXPECT_EQ(MotorData.ErrorNumber, ErrStudyNotJson);
    EXPECT_TRUE(ErrorText().contains("line 4")) << ErrorText().toStdString();
    EXPECT_EQ(Form1->windowTitle(), EnglishCaption);
    EXPECT_TRUE(Studies()->StudyPath().isEmpty());

    // A missing one: the same, with the system's reason.
    Restart();
    Studies()->OpenAtStart(Path("missing.tarvello"));
    Pump();
    EXPECT_EQ(MotorData.ErrorNumber, ErrStudyCannotRead);
    EXPECT_TRUE(Form1->Panel3->isVisible());
}
