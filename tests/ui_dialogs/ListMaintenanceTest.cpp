// Saving the current motor in the list and initialising the list, confirmed in their window.

#include "DialogFixture.h"

#include <algorithm>

namespace {
// Field 1 of a record line as a number.
int NumberOf(const std::string& line) { return std::stoi(line.substr(0, line.find(';'))); }
// A record line without its number.
std::string BodyOf(const std::string& line) { return line.substr(line.find(';')); }
} // namespace

TEST_F(DialogTest, SavingTwiceAppendsTwoIdenticalRecordsWithConsecutiveNumbers)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500, "Delta"), Record(7, "Maker B", "90 L", 1500)});
    const std::vector<std::string> before = Lines(ListFileName);
    ChooseLanguage(false);
    ChooseListedMotor(1);
    Trigger(Form1->SaveMotor);
    ASSERT_TRUE(OKBottomDlg1->isVisible());
    EXPECT_EQ(OKBottomDlg1->Label1->text(), "Do vou want to save parameters in the list?");
    Click(OKBottomDlg1->OKBtn);
    EXPECT_FALSE(OKBottomDlg1->isVisible());
    Trigger(Form1->SaveMotor);
    Click(OKBottomDlg1->OKBtn);
    EXPECT_FALSE(OKBottomDlg1->isVisible());

    const std::vector<std::string> after = Lines(ListFileName);
    ASSERT_EQ(after.size(), before.size() + 2);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    // Numbered after the last line, not after the largest number.
    EXPECT_EQ(NumberOf(after[3]), 8);
    EXPECT_EQ(NumberOf(after[4]), 9);
    EXPECT_EQ(BodyOf(after[3]), BodyOf(after[4]));
    const char sep = SystemDecimalSeparator();
    std::string expected = ";Maker A;132 M;5500;400;50;11.2;0.83;1450;5.6;0.86;0.61;1.36;1.36;61;1440;Delta;";
    std::replace(expected.begin(), expected.end(), '.', sep);
    EXPECT_EQ(BodyOf(after[3]), expected);
    EXPECT_EQ(Bytes(ListFileName).substr(Bytes(ListFileName).size() - 2), "\r\n");

    // The selection dialog lists the saved motor at its next opening.
    OpenSelection();
    EXPECT_EQ(Form4->StringGrid1->rowCount(), 5);
    EXPECT_EQ(Cell(4, 0), "9");
    EXPECT_EQ(Cell(4, 1), "Maker A");
}

TEST_F(DialogTest, InitialisingPutsTheDeliveredListBackAndASaveFollowsItsLastRecord)
{
    ChooseLanguage(false);
    ChooseListedMotor(2);
    Trigger(Form1->SaveMotor);
    Click(OKBottomDlg1->OKBtn);
    ASSERT_NE(Bytes(ListFileName), Bytes(BackupFileName));

    Trigger(Form1->Initialize);
    ASSERT_TRUE(OKBottomDlg1->isVisible());
    EXPECT_EQ(OKBottomDlg1->Label1->text(), "Your recorded motors will be delete!");
    Click(OKBottomDlg1->OKBtn);
    EXPECT_FALSE(OKBottomDlg1->isVisible());
    EXPECT_EQ(Lines(ListFileName), Lines(BackupFileName));
    // The current motor stays loaded.
    EXPECT_TRUE(MotorData.MotorIdentified);
    EXPECT_EQ(MotorData.StartStep, 1);

    Trigger(Form1->SaveMotor);
    Click(OKBottomDlg1->OKBtn);
    const std::vector<std::string> delivered = Lines(BackupFileName);
    const std::vector<std::string> after = Lines(ListFileName);
    ASSERT_EQ(after.size(), delivered.size() + 1);
    EXPECT_EQ(NumberOf(after.back()), NumberOf(delivered.back()) + 1);
}

TEST_F(DialogTest, SavingWithoutAMotorIsError200AndWritesNothing)
{
    const std::string before = Bytes(ListFileName);
    ChooseLanguage(true);
    Trigger(Form1->SaveMotor);
    EXPECT_EQ(OKBottomDlg1->Label1->text(), QString::fromUtf8("Voulez-vous sauver les paramètres dans la liste de moteur?"));
    EXPECT_EQ(OKBottomDlg1->CancelBtn->text(), "Annuler");
    Click(OKBottomDlg1->OKBtn);
    EXPECT_FALSE(OKBottomDlg1->isVisible());
    EXPECT_TRUE(ErrorShown());
    EXPECT_EQ(MotorData.ErrorNumber, 200);
    EXPECT_EQ(ErrorText(), QString::fromUtf8("Les valeurs ne sont pas déclarées"));
    EXPECT_EQ(QApplication::activeWindow(), OKBottomDlg);
    EXPECT_EQ(Bytes(ListFileName), before);
}

TEST_F(DialogTest, CancelWritesNothing)
{
    const std::string before = Bytes(ListFileName);
    ChooseLanguage(false);
    ChooseListedMotor(1);
    Trigger(Form1->SaveMotor);
    Click(OKBottomDlg1->CancelBtn);
    Trigger(Form1->Initialize);
    Click(OKBottomDlg1->CancelBtn);
    EXPECT_FALSE(OKBottomDlg1->isVisible());
    EXPECT_EQ(Bytes(ListFileName), before);
}

TEST_F(DialogTest, SavingIntoAMissingListFailsVisiblyAndCreatesNothing)
{
    ChooseLanguage(false);
    ChooseListedMotor(1);
    ASSERT_TRUE(QFile::remove(QString::fromUtf8(ListFileName)));
    Trigger(Form1->SaveMotor);
    Click(OKBottomDlg1->OKBtn);
    EXPECT_TRUE(OKBottomDlg1->isVisible());
    EXPECT_EQ(BoxesNamed("ListFileErrorBox"), 1);
    EXPECT_TRUE(OKBottomDlg1->LastFileError().contains("Liste Moteur.dat")) << OKBottomDlg1->LastFileError().toStdString();
    EXPECT_FALSE(QFile::exists(QString::fromUtf8(ListFileName)));
    EXPECT_FALSE(ErrorShown());
}

TEST_F(DialogTest, InitialisingWithoutBackupKeepsTheListAndSaysSoInFrench)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500)});
    const std::string before = Bytes(ListFileName);
    ASSERT_TRUE(QFile::remove(QString::fromUtf8(BackupFileName)));
    ChooseLanguage(true);
    Trigger(Form1->Initialize);
    Click(OKBottomDlg1->OKBtn);
    EXPECT_TRUE(OKBottomDlg1->isVisible());
    EXPECT_EQ(BoxesNamed("ListFileErrorBox"), 1);
    EXPECT_TRUE(OKBottomDlg1->LastFileError().contains("Liste Moteur.old")) << OKBottomDlg1->LastFileError().toStdString();
    EXPECT_EQ(Bytes(ListFileName), before);
    // Put right, the same window carries the command out.
    ASSERT_TRUE(QFile::copy(QStringLiteral(TARVELLO_SOURCE_DIR "/data/Liste Moteur.old"),
                            QString::fromUtf8(BackupFileName)));
    Click(OKBottomDlg1->OKBtn);
    EXPECT_FALSE(OKBottomDlg1->isVisible());
    EXPECT_EQ(Lines(ListFileName), Lines(BackupFileName));
}

TEST_F(DialogTest, AMakerTextTheListCannotHoldIsRefusedWithoutWriting)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500)});
    const std::string before = Bytes(ListFileName);
    ChooseLanguage(false);
    ChooseListedMotor(1);
    // A text typed elsewhere that would split the record when read back.
    MotorData.ConstructorName = "Maker;A";
    Trigger(Form1->SaveMotor);
    Click(OKBottomDlg1->OKBtn);
    EXPECT_TRUE(OKBottomDlg1->isVisible());
    EXPECT_EQ(BoxesNamed("ListFileErrorBox"), 1);
    EXPECT_EQ(Bytes(ListFileName), before);
}

TEST_F(DialogTest, AListFileThatIsNoListShowsItsNumberedMessageInBothWindows)
{
    ChooseLanguage(true);
    ChooseListedMotor(1);
    const std::string before = Bytes(ListFileName);
    // The delivered list replaced by a folder: initialising refuses it, naming it with the number.
    ASSERT_TRUE(QFile::remove(QString::fromUtf8(BackupFileName)));
    ASSERT_TRUE(QDir().mkdir(QString::fromUtf8(BackupFileName)));
    Trigger(Form1->Initialize);
    Click(OKBottomDlg1->OKBtn);
    EXPECT_TRUE(OKBottomDlg1->isVisible());
    EXPECT_EQ(BoxesNamed("ListFileErrorBox"), 1);
    EXPECT_EQ(OKBottomDlg1->LastFileError(),
              QString::fromUtf8(
                  "Erreur 212 : «\u00A0Liste Moteur.old\u00A0» n'est pas un fichier ordinaire\u00A0: il ne peut être ni "
                  "lu ni écrit comme liste de moteurs\u00A0!"));
    EXPECT_EQ(Bytes(ListFileName), before);
    Click(OKBottomDlg1->CancelBtn);

    // The list itself a folder: the selection lists nothing and says why, with the number.
    ASSERT_TRUE(QFile::remove(QString::fromUtf8(ListFileName)));
    ASSERT_TRUE(QDir().mkdir(QString::fromUtf8(ListFileName)));
    OpenSelection();
    EXPECT_EQ(Form4->StringGrid1->rowCount(), 1);
    EXPECT_TRUE(
        Form4->LastListReport().contains(QString::fromUtf8("\nErreur 212 : «\u00A0Liste Moteur.dat\u00A0» n'est pas")))
        << Form4->LastListReport().toStdString();
    Click(Form4->Button2);
    // Saving into it is refused the same way.
    Trigger(Form1->SaveMotor);
    Click(OKBottomDlg1->OKBtn);
    EXPECT_TRUE(OKBottomDlg1->isVisible());
    EXPECT_TRUE(OKBottomDlg1->LastFileError().startsWith(
        QString::fromUtf8("Erreur 212 : «\u00A0Liste Moteur.dat\u00A0» n'est pas un fichier ordinaire")))
        << OKBottomDlg1->LastFileError().toStdString();
    EXPECT_TRUE(QFileInfo(QString::fromUtf8(ListFileName)).isDir());
}
