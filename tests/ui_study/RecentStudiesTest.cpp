// The last four studies under File, kept with Qt's settings (here in a temporary folder).

#include "StudyUiFixture.h"

#include <QStandardPaths>

class RecentStudiesTest : public StudyUiTest {
  protected:
    static QStringList Listed()
    {
        QStringList paths;
        for (QAction* a : Studies()->RecentStudy)
            if (a->isVisible())
                paths.append(a->data().toString());
        return paths;
    }
    static QStringList Kept() { return QSettings().value(QStringLiteral("RecentStudies")).toStringList(); }
};

TEST_F(RecentStudiesTest, FourMostRecentFirstKeptAcrossRuns)
{
    EXPECT_TRUE(Listed().isEmpty());
    EXPECT_FALSE(Studies()->RecentSeparator->isVisible());
    SetUpTypedCase();
    for (const char* name : {"a.tarvello", "b.tarvello", "c.tarvello", "d.tarvello", "e.tarvello"})
        SaveAs(Path(name));
    const QStringList expected = {Path("e.tarvello"), Path("d.tarvello"), Path("c.tarvello"), Path("b.tarvello")};
    EXPECT_EQ(Listed(), expected);
    EXPECT_EQ(Kept(), expected);
    EXPECT_TRUE(Studies()->RecentSeparator->isVisible());
    EXPECT_EQ(Studies()->RecentStudy[0]->text().left(3), "&1 ");
    EXPECT_TRUE(Studies()->RecentStudy[0]->text().endsWith("e.tarvello"));
    EXPECT_EQ(Studies()->RecentStudy[3]->text().left(3), "&4 ");

    // The settings file is in the tests' own folder, not in the user's.
    const QString file = QSettings().fileName();
    EXPECT_TRUE(file.startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")))) << file.toStdString();
    EXPECT_FALSE(file.startsWith(QDir::homePath() + "/.config")) << file.toStdString();

    // A new run lists them too; opening one from the list moves it to the front.
    Restart();
    EXPECT_EQ(Listed(), expected);
    ChooseLanguage(false);
    Trigger(Studies()->RecentStudy[2]);
    EXPECT_EQ(Studies()->StudyPath(), Path("c.tarvello"));
    EXPECT_TRUE(Form1->Panel1->isVisible());
    EXPECT_EQ(Form1->windowTitle(), "c.tarvello - " + EnglishCaption);
    EXPECT_EQ(Listed(), QStringList({Path("c.tarvello"), Path("e.tarvello"), Path("d.tarvello"), Path("b.tarvello")}));
    EXPECT_EQ(Kept(), Listed());
}

TEST_F(RecentStudiesTest, MissingFileIsTakenOffWithAMessage)
{
    SetUpTypedCase();
    SaveAs(Path("kept.tarvello"));
    SaveAs(Path("gone.tarvello"));
    ASSERT_TRUE(QFile::remove(Path("gone.tarvello")));
    Restart();
    ChooseLanguage(false);
    ASSERT_EQ(Studies()->RecentStudy[0]->data().toString(), Path("gone.tarvello"));
    Trigger(Studies()->RecentStudy[0]);
    EXPECT_TRUE(ErrorShown());
    EXPECT_EQ(MotorData.ErrorNumber, ErrStudyCannotRead);
    EXPECT_TRUE(ErrorText().contains("gone.tarvello")) << ErrorText().toStdString();
    EXPECT_TRUE(ErrorText().endsWith("It is taken off the recent studies.")) << ErrorText().toStdString();
    EXPECT_EQ(Listed(), QStringList{Path("kept.tarvello")});
    EXPECT_EQ(Kept(), Listed());
    // Nothing was opened.
    EXPECT_TRUE(Studies()->StudyPath().isEmpty());
    EXPECT_EQ(Form1->windowTitle(), EnglishCaption);
    EXPECT_TRUE(Form1->Panel3->isVisible());
}

TEST_F(RecentStudiesTest, RefusedStudyStaysListedAndAnAmpersandIsShown)
{
    SetUpTypedCase();
    SaveAs(Path("R&D.tarvello"));
    EXPECT_TRUE(Studies()->RecentStudy[0]->text().endsWith("R&&D.tarvello"))
        << Studies()->RecentStudy[0]->text().toStdString();
    // A study that is refused (not a missing one) stays in the list: the user may mend it.
    WriteFile(Path("R&D.tarvello"), "{");
    Restart();
    ChooseLanguage(false);
    Trigger(Studies()->RecentStudy[0]);
    EXPECT_EQ(MotorData.ErrorNumber, ErrStudyNotJson);
    EXPECT_EQ(Listed(), QStringList{Path("R&D.tarvello")});
}
