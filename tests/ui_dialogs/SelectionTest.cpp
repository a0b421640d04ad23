// The motor selection dialog: the grid read from the list file, picking, OK, Cancel and Add,
// and the list files it must survive.

#include "DialogFixture.h"

#include <cmath>

namespace {
constexpr double Sqrt3 = 1.7320508075688772;
}

TEST_F(DialogTest, GridListsTheDeliveredCatalogueUnderEnglishHeaders)
{
    const MotorList delivered = ReadMotorList(BackupFileName);
    ASSERT_FALSE(delivered.records.empty());
    ChooseLanguage(false);
    OpenSelection();
    ASSERT_TRUE(Form4->isVisible());
    EXPECT_EQ(Form4->windowTitle(), "Select Motor in List");
    EXPECT_EQ(Form4->Label1->text(), "Select a Row");
    QTableWidget* grid = Form4->StringGrid1;
    EXPECT_EQ(grid->rowCount(), static_cast<int>(delivered.records.size()) + 1);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QString::fromUtf8("N°"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Constructor");
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), "Motor Size");
    EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), "Power [W]");
    for (int r = 1; r < grid->rowCount(); ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(Cell(r, c).toStdString(), delivered.records[r - 1].fields[c]) << r << "," << c;
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(Form4->LastListReport(), QString());
    EXPECT_EQ(BoxesNamed("ListReportBox"), 0);
    // Rows are whole-row selections of a fixed height; the columns fill 350 pixels.
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid->rowHeight(1), 24);
    EXPECT_EQ(grid->viewport()->width(), 350);
}

TEST_F(DialogTest, FrenchTextsAndHeaders)
{
    ChooseLanguage(true);
    OpenSelection();
    EXPECT_EQ(Form4->windowTitle(), "Choisir un moteur dans la liste");
    EXPECT_EQ(Form4->Label1->text(), "Selectionner une ligne");
    EXPECT_EQ(Form4->Label2->text(), "Si vous voulez un autre moteur, pressez le bouton \"Ajouter\"");
    EXPECT_EQ(Form4->Button1->text(), "OK");
    EXPECT_EQ(Form4->Button2->text(), "Annuler");
    EXPECT_EQ(Form4->Button3->text(), "Ajouter");
    EXPECT_EQ(Form4->StringGrid1->horizontalHeaderItem(1)->text(), "Fabricant");
    EXPECT_EQ(Form4->StringGrid1->horizontalHeaderItem(2)->text(), "Dimension");
    EXPECT_EQ(Form4->StringGrid1->horizontalHeaderItem(3)->text(), "Puissance [W]");
}

TEST_F(DialogTest, PickingARowCopiesTheMotorAtOnceAndOnlyExactDeltaIsDelta)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500, "Delta"), Record(2, "Maker B", "90 L", 1500, "delta"),
               Record(3, "Maker C", "100 L", 2200, "Star"), Record(4, "Maker D", "112 M", 4000, "")});
    ChooseLanguage(false);
    OpenSelection();
    ASSERT_EQ(Form4->StringGrid1->rowCount(), 5);

    PickRow(1);
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_EQ(MotorData.ConstructorName, "Maker A");
    EXPECT_EQ(MotorData.MotorSize, "132 M");
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 5500);
    EXPECT_DOUBLE_EQ(MotorData.LineVoltage, 400);
    EXPECT_DOUBLE_EQ(MotorData.Frequency, 50);
    EXPECT_DOUBLE_EQ(MotorData.LineCurrent, 11.2);
    EXPECT_DOUBLE_EQ(MotorData.PowerFactor, 0.83);
    EXPECT_DOUBLE_EQ(MotorData.RatedSpeed, 1450);
    EXPECT_DOUBLE_EQ(MotorData.NoLoadLineCurrent, 5.6);
    EXPECT_DOUBLE_EQ(MotorData.Rs, 0.86);
    EXPECT_DOUBLE_EQ(MotorData.Rr, 0.61);
    EXPECT_DOUBLE_EQ(MotorData.Xssigma, 1.36);
    EXPECT_DOUBLE_EQ(MotorData.Xrsigma, 1.36);
    EXPECT_DOUBLE_EQ(MotorData.Xh, 61);
    EXPECT_DOUBLE_EQ(MotorData.Riron, 1440);
    EXPECT_FALSE(MotorData.StarCoupling);
    // Picking alone confirms nothing.
    EXPECT_FALSE(MotorData.MotorIdentified);
    EXPECT_EQ(MotorData.StartStep, 0);

    PickRow(2);
    EXPECT_EQ(MotorData.ConstructorName, "Maker B");
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 1500);
    EXPECT_TRUE(MotorData.StarCoupling);
    PickRow(3);
    EXPECT_TRUE(MotorData.StarCoupling);
    PickRow(4);
    EXPECT_EQ(MotorData.ConstructorName, "Maker D");
    EXPECT_TRUE(MotorData.StarCoupling);
}

TEST_F(DialogTest, KeyboardMovesPickTheRowToo)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500), Record(2, "Maker B", "90 L", 1500)});
    ChooseLanguage(false);
    OpenSelection();
    PickRow(1);
    EXPECT_EQ(MotorData.ConstructorName, "Maker A");
    QTest::keyClick(Form4->StringGrid1, Qt::Key_Down);
    Pump();
    EXPECT_EQ(Form4->StringGrid1->currentRow(), 2);
    EXPECT_EQ(MotorData.ConstructorName, "Maker B");
}

TEST_F(DialogTest, OkConfirmsThePickedMotorAsStepOne)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500, "Delta")});
    ChooseLanguage(false);
    ChooseListedMotor(1);
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_TRUE(MotorData.MotorIdentified);
    EXPECT_TRUE(MotorData.DataChanged);
    EXPECT_TRUE(MotorData.MotorFromList);
    EXPECT_EQ(MotorData.StartStep, 1);
    // The derived values of a delta motor; the circuit stays the listed one.
    EXPECT_DOUBLE_EQ(MotorData.PhaseVoltage, 400);
    EXPECT_NEAR(MotorData.PhaseCurrent, 11.2 / Sqrt3, 1e-9);
    EXPECT_DOUBLE_EQ(MotorData.PairOfPoles, 2);
    EXPECT_DOUBLE_EQ(MotorData.Rr, 0.61);
    EXPECT_DOUBLE_EQ(MotorData.Xh, 61);
    // Step 2 is now open.
    Click(Form1->Button2);
    EXPECT_TRUE(Form6->isVisible());
    EXPECT_FALSE(ErrorShown());
}

TEST_F(DialogTest, OkWithoutPickingKeepsTheMotorAlreadyThere)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500), Record(2, "Maker B", "90 L", 1500)});
    ChooseLanguage(false);
    ChooseListedMotor(2);
    ASSERT_EQ(MotorData.ConstructorName, "Maker B");
    // The list changes under the chosen row; OK copies nothing, it confirms what is there.
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500), Record(2, "Maker C", "100 L", 2200)});
    OpenSelection();
    EXPECT_EQ(Cell(2, 1), "Maker C");
    EXPECT_EQ(Form4->StringGrid1->currentRow(), -1); // no row holds the motor in memory
    Click(Form4->Button1);
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_EQ(MotorData.ConstructorName, "Maker B");
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 1500);
    EXPECT_TRUE(MotorData.MotorIdentified);
    EXPECT_TRUE(MotorData.MotorFromList);
    EXPECT_EQ(MotorData.StartStep, 1);
}

TEST_F(DialogTest, CancelPutsBackTheMotorOfTheOpeningButNotDataChanged)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500)});
    ChooseLanguage(false);
    MotorData.DataChanged = true;
    OpenSelection();
    EXPECT_FALSE(MotorData.DataChanged); // the opening clears it
    PickRow(1);
    ASSERT_EQ(MotorData.ConstructorName, "Maker A");
    Click(Form4->Button2);
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_EQ(MotorData.ConstructorName, "");
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 0);
    EXPECT_DOUBLE_EQ(MotorData.Rr, 0);
    EXPECT_FALSE(MotorData.MotorFromList);
    EXPECT_FALSE(MotorData.DataChanged);
    EXPECT_FALSE(MotorData.MotorIdentified);
    EXPECT_EQ(MotorData.StartStep, 0);
}

TEST_F(DialogTest, AddOpensTheRatedValuesDialogWithTheCurrentMotor)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500)});
    ChooseLanguage(false);
    OpenSelection();
    EXPECT_TRUE(MotorData.MotorFromList);
    PickRow(1);
    Click(Form4->Button3);
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), Form2);
    EXPECT_FALSE(MotorData.MotorFromList);
    EXPECT_EQ(Form2->Edit9->text(), "Maker A");
    EXPECT_EQ(Form2->Edit1->text(), "5500");
}

TEST_F(DialogTest, OkWithNoMotorAtAllIsRefused)
{
    ChooseLanguage(false);
    WriteList({Title()}); // nothing to pick
    OpenSelection();
    EXPECT_EQ(Form4->StringGrid1->rowCount(), 1);
    Click(Form4->Button1);
    EXPECT_TRUE(ErrorShown());
    EXPECT_EQ(MotorData.ErrorNumber, ErrNoMotor);
    EXPECT_EQ(ErrorText(), "No motor is declared!");
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_FALSE(MotorData.MotorIdentified);
    EXPECT_EQ(MotorData.StartStep, 0);
    EXPECT_EQ(MotorData.PhaseVoltage, 0);
    EXPECT_FALSE(std::isnan(MotorData.RatedTorque));
}

TEST_F(DialogTest, OkOnAListedMotorWithoutRotorResistanceIsRefused)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500, "Star", "0")});
    ChooseLanguage(false);
    OpenSelection();
    PickRow(1);
    Click(Form4->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrRotorResistanceZero);
    EXPECT_EQ(ErrorText(), "R'r must not be 0!");
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_FALSE(MotorData.MotorIdentified);
}

TEST_F(DialogTest, MissingListGivesAMessageAndAnEmptyGrid)
{
    ChooseLanguage(false);
    OpenSelection();
    ASSERT_GT(Form4->StringGrid1->rowCount(), 1);
    Click(Form4->Button2);
    ASSERT_TRUE(QFile::remove(QString::fromUtf8(ListFileName)));

    OpenSelection();
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_EQ(Form4->StringGrid1->rowCount(), 1);
    EXPECT_TRUE(MotorData.ListConstructorName.empty());
    EXPECT_TRUE(MotorData.ListCoupling.empty());
    EXPECT_EQ(BoxesNamed("ListReportBox"), 1);
    EXPECT_TRUE(Form4->LastListReport().startsWith("The motor list cannot be read"));
    EXPECT_TRUE(Form4->LastListReport().contains("Liste Moteur.dat"));
    // The user can still enter a motor by hand.
    Click(Form4->Button3);
    EXPECT_TRUE(Form2->isVisible());
}

TEST_F(DialogTest, TheListMessageIsInFrontOfTheDialogItIsAbout)
{
    WriteList({Title(), "", Record(2, "Maker B", "90 L", 1500)});
    ChooseLanguage(false);
    OpenSelection();
    ASSERT_EQ(BoxesNamed("ListReportBox"), 1);
    QMessageBox* box = OpenMessageBox("ListReportBox");
    EXPECT_EQ(QApplication::activeWindow(), box);
    // Dismissed, it gives the activation back to the dialog, which stays as it is.
    box->button(QMessageBox::Ok)->click();
    Pump();
    Form4->activateWindow();
    Pump();
    EXPECT_EQ(QApplication::activeWindow(), Form4);
    EXPECT_EQ(BoxesNamed("ListReportBox"), 0);
}

TEST_F(DialogTest, MissingListMessageInFrench)
{
    ASSERT_TRUE(QFile::remove(QString::fromUtf8(ListFileName)));
    ChooseLanguage(true);
    OpenSelection();
    EXPECT_TRUE(Form4->LastListReport().startsWith(QString::fromUtf8("La liste des moteurs ne peut pas être lue")));
    EXPECT_EQ(Form4->StringGrid1->rowCount(), 1);
}

TEST_F(DialogTest, MalformedLinesAreSkippedAndReported)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500), "2;Maker B;90 L;1500;400;", "",
               "x;Maker C;100 L;2200;400;50;4.6;0.85;2840;1.7;2.67;2.67;3.95;3.95;136;1886;Star;",
               "4;Maker D;112 M;abc;400;50;4.6;0.85;2840;1.7;2.67;2.67;3.95;3.95;136;1886;Star;",
               Record(5, "Maker E", "160 L", 11000)});
    ChooseLanguage(false);
    OpenSelection();
    ASSERT_EQ(Form4->StringGrid1->rowCount(), 3);
    EXPECT_EQ(Cell(1, 0), "1");
    EXPECT_EQ(Cell(2, 0), "5");
    EXPECT_EQ(Cell(2, 1), "Maker E");
    PickRow(2);
    EXPECT_EQ(MotorData.ConstructorName, "Maker E");
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 11000);

    const QString report = Form4->LastListReport();
    EXPECT_EQ(BoxesNamed("ListReportBox"), 1);
    EXPECT_TRUE(report.contains("line 3: only 5 of the 17 fields")) << report.toStdString();
    EXPECT_TRUE(report.contains("line 4: empty line")) << report.toStdString();
    EXPECT_TRUE(report.contains("line 5:")) << report.toStdString();
    EXPECT_TRUE(report.contains("line 6:")) << report.toStdString();
    EXPECT_TRUE(report.contains("\"abc\" is not a number")) << report.toStdString();
}

TEST_F(DialogTest, SkippedLinesAreReportedInFrench)
{
    WriteList({Title(), "", Record(2, "Maker B", "90 L", 1500)});
    ChooseLanguage(true);
    OpenSelection();
    EXPECT_EQ(Form4->StringGrid1->rowCount(), 2);
    EXPECT_TRUE(Form4->LastListReport().contains("ligne 2 : ligne vide")) << Form4->LastListReport().toStdString();
}

TEST_F(DialogTest, AProblemIsReportedOncePerOpeningNotAtEveryActivation)
{
    WriteList({Title(), "", Record(2, "Maker B", "90 L", 1500)});
    ChooseLanguage(false);
    OpenSelection();
    EXPECT_EQ(BoxesNamed("ListReportBox"), 1);
    // Coming back to the open dialog (e.g. after dismissing the message) neither reads the list
    // again nor repeats the message; the next opening does both.
    Form4->FormActivate();
    Form4->FormActivate();
    EXPECT_EQ(BoxesNamed("ListReportBox"), 1);
    Click(Form4->Button2);
    OpenSelection();
    EXPECT_EQ(BoxesNamed("ListReportBox"), 2);
}

TEST_F(DialogTest, MoreThanAHundredRecordsAreAllListed)
{
    std::vector<std::string> lines{Title()};
    for (int n = 1; n <= 150; ++n)
        lines.push_back(Record(n, "Maker " + std::to_string(n), "S" + std::to_string(n), 1000 + n));
    WriteList(lines);
    ChooseLanguage(false);
    OpenSelection();
    ASSERT_EQ(Form4->StringGrid1->rowCount(), 151);
    EXPECT_EQ(MotorData.ListConstructorName.size(), 150u);
    EXPECT_EQ(Cell(150, 1), "Maker 150");
    PickRow(150);
    EXPECT_EQ(MotorData.ConstructorName, "Maker 150");
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 1150);
    Click(Form4->Button1);
    EXPECT_EQ(MotorData.StartStep, 1);
}

TEST_F(DialogTest, EveryOpeningReadsTheListAgainAndKeepsTheHighlightedRow)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500), Record(2, "Maker B", "90 L", 1500)});
    ChooseLanguage(false);
    OpenSelection();
    PickRow(2);
    Click(Form4->Button2);
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500), Record(2, "Maker B", "90 L", 1500),
               Record(3, "Maker C", "100 L", 2200)});
    OpenSelection();
    EXPECT_EQ(Form4->StringGrid1->rowCount(), 4);
    EXPECT_EQ(Cell(3, 1), "Maker C");
    EXPECT_EQ(Form4->StringGrid1->currentRow(), 2);
    EXPECT_EQ(MotorData.ListConstructorName.back(), "Maker C");
}

TEST_F(DialogTest, ClickingTheNumberOfARowPicksThatRow)
{
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500), Record(2, "Maker B", "90 L", 1500)});
    ChooseLanguage(false);
    OpenSelection();
    QTableWidget* grid = Form4->StringGrid1;
    const QRect numberCell = grid->visualItemRect(grid->item(2, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, numberCell.center());
    Pump();
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_EQ(MotorData.ConstructorName, "Maker B");
    // The row is highlighted, the fixed number column is not.
    EXPECT_TRUE(grid->item(2, 1)->isSelected());
    EXPECT_FALSE(grid->item(2, 0)->isSelected());
}
