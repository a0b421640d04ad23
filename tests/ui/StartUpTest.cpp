// Start-up, the language panel and the texts of the main window in both languages.

#include "UiFixture.h"

#include "About.h"
#include "Init_Mot.h"
#include "MainCharts.h"
#include "Print.h"
#include "SchemEqu.h"
#include "SelMot.h"
#include "StudyFiles.h"
#include "xyGraph.h"

#include <QMenu>

TEST_F(UiTest, StartShowsOnlyTheLanguagePanel)
{
    EXPECT_TRUE(Form1->Panel4->isVisible());
    for (QWidget* w : {static_cast<QWidget*>(Form1->Panel1), static_cast<QWidget*>(Form1->Panel2),
                       static_cast<QWidget*>(Form1->Panel3), static_cast<QWidget*>(Form1->Label35),
                       static_cast<QWidget*>(Form1->Label36), static_cast<QWidget*>(Form1->Button4),
                       AsWidget(Form1->xyGraph1), AsWidget(Form1->xyGraph2), AsWidget(Form1->xyGraph3),
                       AsWidget(Form1->xyGraph4)})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_EQ(Form1->windowTitle(), "Tarvello : Soft-Starter Simultator for Induction Motor");
    EXPECT_TRUE(Form1->RadioButton1->isChecked());
    EXPECT_FALSE(Form1->DisplayStatic->isChecked());
}

TEST_F(UiTest, CreationPresetsTheStartInputs)
{
    EXPECT_DOUBLE_EQ(MotorData.Preset, 0.1);
    EXPECT_DOUBLE_EQ(MotorData.SoftStarterTime, 5);
    EXPECT_DOUBLE_EQ(MotorData.DesiredImaxIn, 1.5);
    EXPECT_DOUBLE_EQ(MotorData.EstimatedStartTime, 10);
    EXPECT_EQ(MotorData.StartStep, 0);
    EXPECT_FALSE(MotorData.LanguageEnglish);
    EXPECT_FALSE(MotorData.LanguageFrench);
}

TEST_F(UiTest, WindowsAreCreatedOnceWithTheirDesignSizes)
{
    ASSERT_TRUE(AboutBox && Form2 && OKBottomDlg && Form3 && Form4 && OKBottomDlg1 && Form5 && Form6 &&
                OKBottomDlg2);
    EXPECT_EQ(OKBottomDlg->size(), QSize(600, 221));
    EXPECT_EQ(AboutBox->size(), QSize(618, 375));
    EXPECT_EQ(OKBottomDlg2->size(), QSize(421, 219));
    EXPECT_EQ(OKBottomDlg1->size(), QSize(623, 142));
    EXPECT_EQ(Form1->centralWidget()->size(), QSize(776, 537));
    EXPECT_EQ(Form1->Panel4->geometry(), QRect(140, 180, 481, 161));
    EXPECT_EQ(Form1->Panel3->geometry(), QRect(112, 116, 537, 305));
    EXPECT_EQ(AsWidget(Form1->xyGraph2)->geometry(), QRect(8, 360, 369, 121));
    EXPECT_EQ(Form1->Button1->font().family(), "Liberation Sans");
    EXPECT_EQ(Form1->Button1->font().pixelSize(), 16);
    EXPECT_EQ(Form2->font().pixelSize(), 11);
}

TEST_F(UiTest, LanguageOkWithoutChoiceGivesEnglish)
{
    Click(Form1->Button7);
    EXPECT_TRUE(MotorData.LanguageEnglish);
    EXPECT_FALSE(MotorData.LanguageFrench);
    EXPECT_FALSE(Form1->Panel4->isVisible());
    EXPECT_TRUE(Form1->Panel3->isVisible());
    EXPECT_EQ(Form1->windowTitle(), "Tarvello : Soft-Starter Simulator for Induction Motor");
    EXPECT_EQ(Form1->Button1->text(), "1. Select Motor in List");
    EXPECT_EQ(Form1->Label21->text(), "Soft-Stater Parameters");
    EXPECT_EQ(Form1->Label35->text(), "If you want to return to the start menu, press \"RETURN\"!");
    EXPECT_EQ(Form1->Button4->text(), "Return");
    EXPECT_EQ(Form1->DisplayStatic->text(), "Display Static Curves");
    EXPECT_EQ(Form1->Exit1->text(), "E&xit");
    EXPECT_EQ(ChartTitle(Form1->xyGraph3), "Current");
    EXPECT_EQ(ChartTitle(Form1->xyGraph2), "Torque");
}

TEST_F(UiTest, FrenchTextsOfTheMainWindow)
{
    ChooseLanguage(true);
    EXPECT_TRUE(MotorData.LanguageFrench);
    EXPECT_FALSE(MotorData.LanguageEnglish);
    EXPECT_EQ(Form1->windowTitle(), "Tarvello : Simulateur de Soft-Starter pour moteur asynchrone");
    EXPECT_EQ(Form1->File1->title(), "&Fichier");
    EXPECT_EQ(Form1->Options1->title(), "&Options");
    EXPECT_EQ(Form1->About1->text(), "A &propos");
    EXPECT_EQ(Form1->DisplayStatic->text(), QString::fromUtf8("&Afficher les courbes statiques"));
    EXPECT_EQ(Form1->Label34->text(), QString::fromUtf8("Le choix des paramètres se fait dans l'ordre"));
    EXPECT_EQ(Form1->Button3->text(), QString::fromUtf8("3. Paramètres de la charge"));
    EXPECT_EQ(Form1->Label8->text(), QString::fromUtf8("Nombre de paire de pôles"));
    EXPECT_EQ(Form1->Label21->text(), QString::fromUtf8("Paramètres du Soft-Stater"));
    EXPECT_EQ(ChartTitle(Form1->xyGraph1), "Courant");
    EXPECT_EQ(ChartTitle(Form1->xyGraph4), "Couple");
    for (QLabel* l : {Form1->Label47, Form1->Label49, Form1->Label52, Form1->Label53})
        EXPECT_EQ(l->text(), "Avec Soft-Starter");
    for (QLabel* l : {Form1->Label41, Form1->Label42, Form1->Label43, Form1->Label44})
        EXPECT_EQ(l->text(), "DOL");
    EXPECT_EQ(Form1->Label10->text(), "W"); // units stay
}

TEST_F(UiTest, SeriesCaptionsAreBoldBlueAndRed)
{
    EXPECT_TRUE(Form1->Label41->font().bold());
    EXPECT_EQ(Form1->Label41->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(Form1->Label47->font().bold());
    EXPECT_EQ(Form1->Label47->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(Form1->Label47->parentWidget(), AsWidget(Form1->xyGraph3));
}

TEST_F(UiTest, MenuEntriesShortcutsAndOrder)
{
    EXPECT_EQ(Form1->SelectMotor->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
    EXPECT_EQ(Form1->Exit1->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    EXPECT_EQ(Form1->RatedValues->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    EXPECT_EQ(Form1->EquivalentDiagram->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    // The study entries and the recent studies come first, then the entries of the design in their order.
    const TStudyFiles* s = Form1->Studies;
    const QList<QAction*> file = Form1->File1->actions();
    const QList<QAction*> expected = {s->OpenStudy,      s->SaveStudy,      s->SaveStudyAs,       s->RecentSeparator,
                                      s->RecentStudy[0], s->RecentStudy[1], s->RecentStudy[2],  s->RecentStudy[3],
                                      s->StudySeparator, Form1->SelectMotor, Form1->SaveMotor,  Form1->Initialize,
                                      Form1->N1,         Form1->SaveCurves, Form1->Print1,      Form1->N4,
                                      Form1->Exit1};
    EXPECT_EQ(file, expected);
    EXPECT_TRUE(Form1->N1->isSeparator());
    EXPECT_TRUE(s->StudySeparator->isSeparator());
    EXPECT_EQ(s->OpenStudy->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(s->SaveStudy->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(s->SaveStudyAs->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    const QList<QAction*> parameters = Form1->Parameters->actions();
    ASSERT_EQ(parameters.size(), 10);
    EXPECT_EQ(parameters[4], Form1->Load);
    EXPECT_TRUE(parameters[5]->isSeparator());
    EXPECT_EQ(parameters[6], Form1->Mechanical1);
    EXPECT_EQ(parameters[7], Form1->Network1);
    EXPECT_EQ(parameters[8], Form1->StartingMethods);
    EXPECT_EQ(parameters[9], Form1->Protection1);
    EXPECT_TRUE(Form1->Options1->actions().contains(Form1->DisplayDynamic));
    EXPECT_TRUE(Form1->DisplayStatic->isCheckable());
    EXPECT_TRUE(Form1->Options1->actions().contains(Form1->CompareMethods));
    EXPECT_EQ(Form1->Help1->actions().size(), 3);
}

TEST_F(UiTest, DialogOpenedBeforeTheChoiceKeepsItsDesignTexts)
{
    Trigger(Form1->Load);
    EXPECT_TRUE(Form5->isVisible());
    EXPECT_EQ(Form5->windowTitle(), "Load");
    EXPECT_EQ(Form5->Ex1->text(), "Ex1");
    Click(Form5->Button2);
    ChooseLanguage(true);
    Trigger(Form1->Load);
    EXPECT_EQ(Form5->windowTitle(), QString::fromUtf8("Paramètres de la charge"));
    EXPECT_EQ(Form5->RadioButton4->text(), QString::fromUtf8("Charge au carré de la vitesse"));
    EXPECT_EQ(Form5->Button2->text(), "Annuler");
    EXPECT_EQ(Form5->Button1->text(), "OK");
}

TEST_F(UiTest, EnglishDialogTextsKeepTheirSpelling)
{
    ChooseLanguage(false);
    Trigger(Form1->Load);
    EXPECT_EQ(Form5->windowTitle(), "Load Parameters");
    EXPECT_EQ(Form5->Ex1->text(), "Examples : Conveyors, liftting gears, compressors, kneaded machines, piston "
                                  "pumps, rolling mills, machines tools, etc.");
    Click(Form5->Button2);
    Trigger(Form1->RatedValues);
    EXPECT_EQ(Form2->Label9->text(), "Rated Value");
    EXPECT_EQ(Form2->CheckBox1->text(), "Approximation without no Load Current");
}

TEST_F(UiTest, AboutBoxTexts)
{
    Trigger(Form1->About1);
    EXPECT_TRUE(AboutBox->isVisible());
    EXPECT_EQ(AboutBox->windowTitle(), "About");
    EXPECT_EQ(AboutBox->ProductName->text(), "Tarvello.exe");
    EXPECT_TRUE(AboutBox->ProductName->font().bold());
    EXPECT_EQ(AboutBox->Comments->text(), "Soft-Starter Simultator for Induction Motor");
    EXPECT_EQ(AboutBox->Version->text(), "Version 1.2");
    EXPECT_EQ(AboutBox->Date->text(), "13.12.99");
    Click(AboutBox->OKButton);
    EXPECT_FALSE(AboutBox->isVisible());
}

TEST_F(UiTest, DialogsDoNotBlockTheMainWindow)
{
    ChooseLanguage(false);
    Trigger(Form1->SoftStarter);
    EXPECT_TRUE(Form6->isVisible());
    EXPECT_FALSE(Form6->isModal());
    EXPECT_EQ(QApplication::activeWindow(), Form6);
    Trigger(Form1->Load);
    EXPECT_TRUE(Form6->isVisible());
    EXPECT_TRUE(Form5->isVisible());
    Click(Form5->Button2);
    Click(Form6->Button2);
    EXPECT_EQ(QApplication::activeWindow(), Form1);
}

TEST_F(UiTest, ExitClosesTheMainWindow)
{
    bool closed = false;
    QObject::connect(Form1, &TForm1::Closed, [&closed] { closed = true; });
    Trigger(Form1->Exit1);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(Form1->isVisible());
}

TEST_F(UiTest, StartUpRegistersTheChartClipboardFormatAndCreatesTheWindows)
{
    DestroyForms();
    MotorData.Reset();
    StartUp();
    EXPECT_TRUE(IsClipboardFormatRegistered(QStringLiteral("Internal xyGraph Format")));
    ASSERT_NE(Form1, nullptr);
    ASSERT_NE(OKBottomDlg2, nullptr);
    EXPECT_TRUE(Form1->Panel4->isVisibleTo(Form1));
    EXPECT_DOUBLE_EQ(MotorData.Preset, 0.1);
}
