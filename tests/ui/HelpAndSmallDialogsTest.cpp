// Help files, the regional decimal separator, and the small dialogs of the menus.

#include "UiFixture.h"

#include "HelpWindow.h"
#include "Init_Mot.h"
#include "Print.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextBrowser>

namespace {
// Runs with the working directory set to `dir` and puts the previous one back afterwards.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const QString& dir) : previous_(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~WorkingDirectory() { QDir::setCurrent(previous_); }

private:
    QString previous_;
};
} // namespace

TEST_F(UiTest, HelpOpensTheFileOfTheChosenLanguageAtItsContents)
{
    WorkingDirectory wd(QStringLiteral(TARVELLO_SOURCE_DIR "/data"));
    ChooseLanguage(true);
    Click(Form1->Button5);
    ASSERT_NE(Form1->HelpWindow(), nullptr);
    EXPECT_TRUE(Form1->HelpWindow()->isVisible());
    EXPECT_TRUE(Form1->HelpWindow()->CurrentFile().endsWith("Help/TarvelloFr.html"));
    EXPECT_EQ(Form1->HelpWindow()->Browser()->source().fragment(), "contents");
    EXPECT_TRUE(Form1->HelpWindow()->Browser()->toPlainText().contains(QString::fromUtf8("Démarrage quasi statique")));
}

TEST_F(UiTest, EnglishHelpFromTheMenu)
{
    WorkingDirectory wd(QStringLiteral(TARVELLO_SOURCE_DIR "/data"));
    ChooseLanguage(false);
    Trigger(Form1->Help2);
    ASSERT_NE(Form1->HelpWindow(), nullptr);
    EXPECT_TRUE(Form1->HelpWindow()->CurrentFile().endsWith("Help/TarvelloEng.html"));
    const QString text = Form1->HelpWindow()->Browser()->toPlainText();
    EXPECT_TRUE(text.contains("Quasi-static start"));
    EXPECT_TRUE(text.contains("Liste Moteur.dat"));
}

TEST_F(UiTest, MissingHelpFileIsReportedInTheChosenLanguage)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    WorkingDirectory wd(empty.path());
    if (!FindHelpFile(true).isEmpty())
        GTEST_SKIP() << "an installed help file is found beside the executable";
    ChooseLanguage(true);
    Trigger(Form1->Help2);
    QMessageBox* note = OpenMessageBox("NoteBox");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), "Le fichier d'aide \"Help/TarvelloFr.html\" est introuvable.");
    EXPECT_EQ(Form1->HelpWindow(), nullptr);
}

TEST_F(UiTest, NumbersUseTheRegionalDecimalSeparator)
{
    const QString point = QLocale::system().decimalPoint();
    ASSERT_EQ(point.size(), 1);
    EXPECT_EQ(QChar(SystemDecimalSeparator()), point.at(0));
    EXPECT_EQ(FixedText(0.82, 2), QString("0") + point + "82");
    EXPECT_EQ(FixedText(12.34, 1), QString("12") + point + "3");
    EXPECT_EQ(FixedText(5500, 0), "5500");
    EXPECT_EQ(FixedTextOrEmpty(0, 2), "");
    const char* lang = std::getenv("LC_ALL");
    if (lang && std::string(lang).rfind("fr_FR", 0) == 0) {
        EXPECT_EQ(point, ",");
    }
}

TEST_F(UiTest, CommaTypedValuesAreReadWhateverTheRegion)
{
    RunWorkflow();
    Trigger(Form1->SoftStarter);
    Form6->RadioButton2->setChecked(true);
    Form6->Edit1->setText("12,5");
    Form6->Edit4->setText("20.5");
    Form6->Edit5->setText("6,25");
    Click(Form6->Button1);
    EXPECT_DOUBLE_EQ(MotorData.EstimatedStartTime, 12.5);
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 6.25);
    EXPECT_EQ(Form1->Edit16->text(), Dec("12.50"));
    EXPECT_EQ(Form1->Edit18->text(), Dec("20.50"));
    EXPECT_EQ(Form1->Edit19->text(), Dec("6.25"));
}

TEST_F(UiTest, SaveWithoutAMotorIsError200)
{
    ChooseLanguage(false);
    Trigger(Form1->SaveMotor);
    EXPECT_EQ(MotorData.ListAction, 2);
    EXPECT_EQ(OKBottomDlg1->Label1->text(), "Do vou want to save parameters in the list?");
    EXPECT_EQ(OKBottomDlg1->windowTitle(), "Message");
    Click(OKBottomDlg1->OKBtn);
    EXPECT_FALSE(OKBottomDlg1->isVisible());
    EXPECT_EQ(MotorData.ErrorNumber, 200);
    EXPECT_EQ(ErrorText(), "Values are not declared");
}

TEST_F(UiTest, InitializeAsksInFrench)
{
    ChooseLanguage(true);
    Trigger(Form1->Initialize);
    EXPECT_EQ(MotorData.ListAction, 1);
    EXPECT_EQ(OKBottomDlg1->Label1->text(), "Les moteurs que vous avez enregistrer seront effacer!");
    EXPECT_EQ(OKBottomDlg1->CancelBtn->text(), "Annuler");
    Click(OKBottomDlg1->CancelBtn);
    EXPECT_FALSE(OKBottomDlg1->isVisible());
}

TEST_F(UiTest, PrintDialogOffersTheStaticChartsOnlyWhenShown)
{
    RunWorkflow(true);
    Trigger(Form1->Print1);
    EXPECT_EQ(OKBottomDlg2->windowTitle(), "Imprimer Graphiques");
    EXPECT_EQ(OKBottomDlg2->OKBtn->text(), "OK");
    EXPECT_TRUE(OKBottomDlg2->CheckBox1->isVisible());
    EXPECT_FALSE(OKBottomDlg2->CheckBox3->isVisible());
    OKBottomDlg2->CheckBox1->setChecked(true);
    Click(OKBottomDlg2->CancelBtn);
    Trigger(Form1->DisplayStatic);
    Trigger(Form1->Print1);
    EXPECT_TRUE(OKBottomDlg2->CheckBox4->isVisible());
    EXPECT_FALSE(OKBottomDlg2->CheckBox1->isChecked());
}
