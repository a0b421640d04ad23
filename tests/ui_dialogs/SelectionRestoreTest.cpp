// The motor selection leaves in memory only a motor the user confirmed: Cancel (or Escape, the
// close box, Add followed by a cancelled rated values dialog) puts back the motor of the
// opening; the opening highlights the row that motor came from; OK with no motor in memory takes
// the highlighted row. The rated values and equivalent diagram dialogs change where the circuit
// comes from only by their OK.

#include "DialogFixture.h"

#include "MainCharts.h"

#include <QTest>

namespace {

// Every value of the motor part of the data set, for comparisons of whole motors.
struct MotorValues {
    std::string maker, size;
    std::vector<double> numbers;
    bool star, approximate, fromList, identified;

    explicit MotorValues(const MotorDataSet& d)
        : maker(d.ConstructorName), size(d.MotorSize),
          numbers{d.MechanicalPower, d.LineVoltage, d.LineCurrent,  d.PowerFactor, d.Frequency,
                  d.RatedSpeed,      d.NoLoadLineCurrent, d.PairOfPoles, d.SynchronousSpeed, d.PhaseVoltage,
                  d.PhaseCurrent,    d.NoLoadPhaseCurrent, d.ElectricalPower, d.RatedTorque, d.Efficiency,
                  d.Rs,              d.Xssigma, d.Rr, d.Xrsigma, d.Xh, d.Riron},
          star(d.StarCoupling), approximate(d.ApproximationWithoutNoLoadCurrent), fromList(d.MotorFromList),
          identified(d.MotorIdentified)
    {
    }
    bool operator==(const MotorValues&) const = default;
};

std::ostream& operator<<(std::ostream& out, const MotorValues& m)
{
    out << m.maker << " / " << m.size << " /";
    for (double n : m.numbers)
        out << ' ' << n;
    return out << " star " << m.star << " approx " << m.approximate << " list " << m.fromList;
}

} // namespace

class SelectionRestoreTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        WriteList({Title(), Record(1, "Maker A", "132 M", 5500, "Delta"), Record(2, "Maker B", "90 L", 1500),
                   Record(3, "Maker C", "100 L", 2200)});
    }

    static void ToResults()
    {
        Click(Form1->Button2);
        SetTimeMode("4");
        Click(Form1->Button3);
        SetLoad(LoadKind::None);
        ASSERT_TRUE(Form1->Panel1->isVisible());
    }

    static int HighlightedRow()
    {
        const QList<QTableWidgetItem*> selected = Form4->StringGrid1->selectedItems();
        return selected.isEmpty() ? -1 : selected.front()->row();
    }
};

TEST_F(SelectionRestoreTest, ARowPickedThenCancelledIsNotTheMotorThatGetsSaved)
{
    ChooseLanguage(false);
    ChooseListedMotor(1);
    ToResults();
    const MotorValues shown(MotorData);
    const QString shownPower = Form1->Edit1->text();
    OpenSelection();
    EXPECT_EQ(HighlightedRow(), 1);
    PickRow(3);
    ASSERT_EQ(MotorData.ConstructorName, "Maker C");
    Click(Form4->Button2);
    EXPECT_EQ(MotorValues(MotorData), shown);
    EXPECT_EQ(Form1->Edit14->text(), "Maker A");
    EXPECT_EQ(Form1->Edit1->text(), shownPower);
    // File > Save Parameters in Motor List writes the motor the main window shows.
    Trigger(Form1->SaveMotor);
    Click(OKBottomDlg1->OKBtn);
    const std::vector<std::string> lines = Lines(ListFileName);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines.back().substr(0, 17), "4;Maker A;132 M;5");
    EXPECT_NE(lines.back().find(";Delta;"), std::string::npos);
}

TEST_F(SelectionRestoreTest, CancelPutsBackATypedMotorExactly)
{
    ChooseLanguage(false);
    Motor m;
    m.approximate = true;
    m.star = false;
    Trigger(Form1->RatedValues);
    Form2->Edit9->setText("Typed");
    TypeMotor(m);
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    ToResults(); // the circuit identified from the typed values
    const MotorValues typed(MotorData);
    ASSERT_FALSE(typed.fromList);
    ASSERT_TRUE(typed.approximate);
    // Cancel with and without a pick, by the button, Escape and the close box.
    for (int way = 0; way < 4; ++way) {
        OpenSelection();
        EXPECT_EQ(HighlightedRow(), -1) << way; // a typed motor comes from no row
        if (way != 3)
            PickRow(2);
        if (way == 0 || way == 3)
            Click(Form4->Button2);
        else if (way == 1)
            QTest::keyClick(Form4->StringGrid1, Qt::Key_Escape);
        else
            Form4->close();
        Pump();
        EXPECT_FALSE(Form4->isVisible()) << way;
        EXPECT_EQ(MotorValues(MotorData), typed) << way;
    }
    // A recomputation still identifies the typed motor.
    Trigger(Form1->SoftStarter);
    Click(Form6->Button1);
    EXPECT_EQ(MotorValues(MotorData), typed);
}

TEST_F(SelectionRestoreTest, OpeningHighlightsTheRowTheMotorWasChosenFrom)
{
    ChooseLanguage(false);
    OpenSelection();
    EXPECT_EQ(HighlightedRow(), 1); // nothing in memory: the first row
    Click(Form4->Button2);
    ChooseListedMotor(3);
    OpenSelection();
    EXPECT_EQ(Form4->StringGrid1->currentRow(), 3);
    EXPECT_EQ(HighlightedRow(), 3);
    Click(Form4->Button2);
    // Of two equal records, the one chosen.
    WriteList({Title(), Record(1, "Maker A", "132 M", 5500, "Delta"), Record(2, "Maker C", "100 L", 2200),
               Record(3, "Maker C", "100 L", 2200)});
    OpenSelection();
    EXPECT_EQ(HighlightedRow(), 3);
    PickRow(2);
    Click(Form4->Button1);
    OpenSelection();
    EXPECT_EQ(HighlightedRow(), 2);
    Click(Form4->Button2);
    // A circuit changed in the equivalent diagram is no longer the listed motor.
    Trigger(Form1->EquivalentDiagram);
    Form3->Edit2->setText("0.7");
    Click(Form3->Button1);
    ASSERT_FALSE(Form3->isVisible());
    OpenSelection();
    EXPECT_EQ(HighlightedRow(), -1);
}

TEST_F(SelectionRestoreTest, OkWithNothingInMemoryTakesTheHighlightedRow)
{
    ChooseLanguage(false);
    OpenSelection();
    Click(Form4->Button1);
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_FALSE(ErrorShown());
    EXPECT_EQ(MotorData.ConstructorName, "Maker A");
    EXPECT_TRUE(MotorData.MotorIdentified);
    EXPECT_TRUE(MotorData.MotorFromList);
    EXPECT_EQ(MotorData.StartStep, 1);
    EXPECT_DOUBLE_EQ(MotorData.PhaseVoltage, 400); // derived, delta
}

TEST_F(SelectionRestoreTest, OkWithNothingInMemoryAfterAPickCancelledTakesTheRowStillHighlighted)
{
    ChooseLanguage(false);
    OpenSelection();
    PickRow(2);
    Click(Form4->Button2);
    ASSERT_DOUBLE_EQ(MotorData.MechanicalPower, 0);
    OpenSelection();
    EXPECT_EQ(HighlightedRow(), 2);
    Click(Form4->Button1);
    EXPECT_EQ(MotorData.ConstructorName, "Maker B");
    EXPECT_EQ(MotorData.StartStep, 1);
}

TEST_F(SelectionRestoreTest, OkWithAnEmptyListAndNothingInMemoryIsRefusedWith80)
{
    WriteList({Title()});
    ChooseLanguage(true);
    OpenSelection();
    Click(Form4->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrNoMotor);
    EXPECT_EQ(ErrorText(), QString::fromUtf8("Aucun moteur n'est déclaré\u00A0!"));
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_EQ(MotorData.StartStep, 0);
}

TEST_F(SelectionRestoreTest, OkWithoutAPickKeepsATypedMotorTyped)
{
    ChooseLanguage(false);
    EnterMotor();
    ToResults();
    const MotorValues typed(MotorData);
    OpenSelection();
    Click(Form4->Button1);
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_EQ(MotorData.StartStep, 1);
    EXPECT_FALSE(MotorData.MotorFromList);
    EXPECT_EQ(MotorValues(MotorData), typed);
}

TEST_F(SelectionRestoreTest, CancelDoesNotUndoAMotorAnotherDialogStoredMeanwhile)
{
    ChooseLanguage(false);
    ChooseListedMotor(1);
    OpenSelection();
    PickRow(2);
    // While the selection stays open, a motor is typed and confirmed.
    Trigger(Form1->RatedValues);
    Form2->Edit9->setText("Typed");
    TypeMotor(Motor());
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    const MotorValues typed(MotorData);
    Form4->ShowForm();
    Pump();
    Click(Form4->Button2);
    EXPECT_EQ(MotorValues(MotorData), typed);
    EXPECT_EQ(MotorData.ConstructorName, "Typed");
}

TEST_F(SelectionRestoreTest, AddThenCancelledRatedValuesLeavesTheMotorOfTheOpening)
{
    ChooseLanguage(false);
    ChooseListedMotor(1);
    const MotorValues listed(MotorData);
    OpenSelection();
    PickRow(2);
    Click(Form4->Button3);
    ASSERT_TRUE(Form2->isVisible());
    EXPECT_EQ(Form2->Edit9->text(), "Maker B"); // the rated values start from the picked row
    Click(Form2->Button2);
    EXPECT_EQ(MotorValues(MotorData), listed);
    // Add again, and this time OK: the typed motor replaces the listed one.
    OpenSelection();
    PickRow(2);
    Click(Form4->Button3);
    Form2->Edit9->setText("Maker B2");
    Click(Form2->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, 0) << ErrorText().toStdString();
    EXPECT_EQ(MotorData.ConstructorName, "Maker B2");
    EXPECT_DOUBLE_EQ(MotorData.MechanicalPower, 1500);
    EXPECT_FALSE(MotorData.MotorFromList);
}

TEST_F(SelectionRestoreTest, RatedValuesAndDiagramCancelKeepWhereTheCircuitComesFrom)
{
    ChooseLanguage(false);
    ChooseListedMotor(1);
    ToResults();
    const auto before = SeriesPoints(Form1->xyGraph3, 1);
    Trigger(Form1->RatedValues);
    Click(Form2->Button2);
    EXPECT_TRUE(MotorData.MotorFromList);
    // A later recomputation keeps the listed circuit.
    Trigger(Form1->SoftStarter);
    Click(Form6->Button1);
    EXPECT_EQ(SeriesPoints(Form1->xyGraph3, 1), before);

    EnterMotor();
    ASSERT_FALSE(MotorData.MotorFromList);
    Trigger(Form1->EquivalentDiagram);
    Click(Form3->Cancel);
    EXPECT_FALSE(MotorData.MotorFromList);
}
