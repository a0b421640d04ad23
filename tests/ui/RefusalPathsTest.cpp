// Motors and settings that would give wrong, infinite or vanished values, refused through the
// windows a user goes through: the rated values dialog, the equivalent diagram dialog, the motor
// selection of a list file, the soft-starter and load dialogs and the main window's computation.

#include "UiFixture.h"

#include "ErrorMessages.h"
#include "MainCharts.h"
#include "SchemEqu.h"
#include "SelMot.h"

#include <QDir>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <fstream>
#include <string>
#include <vector>

namespace {
class RefusalTest : public UiTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir_.path()));
        UiTest::SetUp();
    }
    void TearDown() override {
        UiTest::TearDown();
        QDir::setCurrent(previous_);
    }

    // "Liste Moteur.dat" in the working folder: a title, then the given records.
    static void WriteList(const std::vector<std::string>& records) {
        std::ofstream out("Liste Moteur.dat", std::ios::binary | std::ios::trunc);
        out << "0;Constructor;Motor Size;Power [W];\r\n";
        for (const std::string& r : records)
            out << r << "\r\n";
    }

    // A record of the 5.5 kW delta motor with some fields replaced: {field number, text}.
    static std::string Record(int number, std::vector<std::pair<int, std::string>> changes = {}) {
        std::array<std::string, 17> f = {"",     "Maker A", "132 M", "5500", "400",  "50",
                                         "11.2", "0.83",    "1450",  "5.6",  "0.86", "0.61",
                                         "1.36", "1.36",    "61",    "1440", "Delta"};
        f[0] = std::to_string(number);
        for (const auto& [field, text] : changes)
            f[field - 1] = text;
        std::string line;
        for (const std::string& s : f)
            line += s + ";";
        return line;
    }

    // Start menu step 1, a mouse click on a grid row, then OK.
    static void ChooseRow(int row) {
        if (!Form4->isVisible()) Click(Form1->Button1);
        QTableWidget* grid = Form4->StringGrid1;
        grid->scrollToItem(grid->item(row, 1));
        Pump();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->visualItemRect(grid->item(row, 1)).center());
        Pump();
        Click(Form4->Button1);
    }

    static void TypeCircuit(const QString& rs, const QString& rr, const QString& xs, const QString& xr,
                            const QString& xh, const QString& riron) {
        Trigger(Form1->EquivalentDiagram);
        Form3->Edit1->setText(rs);
        Form3->Edit2->setText(rr);
        Form3->Edit3->setText(xs);
        Form3->Edit4->setText(xr);
        Form3->Edit5->setText(xh);
        Form3->Edit6->setText(riron);
        Click(Form3->Button1);
    }

    static std::array<double, 6> Circuit() {
        return {MotorData.Rs,      MotorData.Rr, MotorData.Xssigma,
                MotorData.Xrsigma, MotorData.Xh, MotorData.Riron};
    }

  private:
    QTemporaryDir dir_;
    QString previous_;
};
} // namespace

TEST_F(RefusalTest, RatedValuesThatGiveNoValidCircuitAreRefusedInTheDialog) {
    ChooseLanguage(false);
    struct Case {
        Motor motor;
        int error;
        const char* message;
    };
    std::vector<Case> cases;
    Motor unity; // the nameplate that once gave negative leakage reactances
    unity.power = "1000";
    unity.voltage = "230";
    unity.powerFactor = "1";
    cases.push_back({unity, 20, "Power factor must be less than 1!"});
    Motor big;
    big.noLoad = "4.9";
    cases.push_back({big, ErrNoLoadCurrentTooBig,
                     "No load line current must be less than 4.87\u00A0A (line current x sin phi)!"});
    Motor negative;
    negative.noLoad = "-4.5";
    cases.push_back({negative, ErrNoLoadCurrentZero, "No load current must be greater than 0!"});
    Motor huge;
    huge.current = "1e308";
    cases.push_back({huge, ErrValueOverflows,
                     "The value of \"Line Current\" is so large that a derived value overflows!"});
    Motor slow;
    slow.speed = "1e-307";
    cases.push_back({slow, ErrValueSmallOverflows,
                     "The value of \"Rated Speed\" is so small that a derived value overflows!"});
    for (const Case& c : cases) {
        EnterMotor(c.motor);
        EXPECT_EQ(MotorData.ErrorNumber, c.error) << c.message;
        EXPECT_EQ(ErrorText(), QString::fromUtf8(c.message));
        EXPECT_TRUE(Form2->isVisible());
        EXPECT_EQ(MotorData.StartStep, 0);
        AcknowledgeError();
        Click(Form2->Button2);
    }
    // A number with an exponent is the number it writes.
    Motor exponent;
    exponent.power = "4.0e3";
    EnterMotor(exponent);
    EXPECT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_EQ(MotorData.MechanicalPower, 4000);
}

TEST_F(RefusalTest, FieldNamesAndLimitsInFrench) {
    ChooseLanguage(true);
    Motor huge;
    huge.current = "1e308";
    EnterMotor(huge);
    EXPECT_EQ(ErrorText(),
              QString::fromUtf8("La valeur de «\u00A0Courant de ligne\u00A0» est si grande qu'une grandeur "
                                "calculée dépasse les limites des nombres\u00A0!"));
    AcknowledgeError();
    Click(Form2->Button2);
    Motor big;
    big.noLoad = "5";
    EnterMotor(big);
    EXPECT_EQ(ErrorText(),
              QString::fromUtf8("Le courant de ligne à vide doit être plus petit que 4.87\u00A0A (courant "
                                "de ligne x sin phi)\u00A0!"));
}

TEST_F(RefusalTest, TheEquivalentDiagramDialogRefusesNegativeAndOverflowingCircuits) {
    ChooseLanguage(false);
    EnterMotor();
    ASSERT_EQ(MotorData.ErrorNumber, 0);
    const auto before = Circuit();
    TypeCircuit("1.27", "1.27", "0.58", "-0.58", "-51", "1158");
    EXPECT_EQ(MotorData.ErrorNumber, ErrNegativeElement);
    EXPECT_EQ(ErrorText(), "X'rsigma must not be negative!"); // the first in circuit order
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_EQ(Circuit(), before);
    AcknowledgeError();
    Click(Form3->Cancel);

    // Riron 1e155: Riron^2 + Xh^2 overflows and the currents came out finite but wrong.
    TypeCircuit("1.27", "1.27", "0.58", "0.58", "51", "1e155");
    EXPECT_EQ(MotorData.ErrorNumber, ErrCircuitOverflow);
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_EQ(Circuit(), before);
    EXPECT_FALSE(MotorData.DataChanged);
}

TEST_F(RefusalTest, TheComputationRefusesACircuitThatOverflowsOnlyNearSynchronousSpeed) {
    RunWorkflow();
    ASSERT_TRUE(MotorData.ResultsMode);
    const QString ramp = Form1->Edit19->text();
    const auto curve = MotorData.DolCurrentCurve;
    // R'r 1e152 is fine at standstill but R'r / s overflows the circuit near synchronous speed.
    TypeCircuit("1.27", "1e152", "0.58", "0.58", "51", "1158");
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(MotorData.ErrorNumber, ErrCircuitOverflow);
    EXPECT_TRUE(ErrorShown());
    // The results view keeps the last results.
    EXPECT_EQ(Form1->Edit19->text(), ramp);
    EXPECT_EQ(MotorData.DolCurrentCurve, curve);
    EXPECT_EQ(SeriesPoints(Form1->xyGraph3, 1).size(), 100u);
}

TEST_F(RefusalTest, AListedMotorStaysInTheGridButChoosingItIsRefused) {
    WriteList({Record(1, {{15, "-61"}}), Record(2, {{8, "5e-324"}}), Record(3, {{16, "-1440"}}), Record(4)});
    ChooseLanguage(false);
    Click(Form1->Button1);
    ASSERT_TRUE(Form4->isVisible());
    ASSERT_EQ(Form4->StringGrid1->rowCount(), 5); // every record is listed, negative elements included

    ChooseRow(1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrNegativeElement);
    EXPECT_EQ(ErrorText(), "Xh must not be negative!");
    EXPECT_TRUE(Form4->isVisible());
    EXPECT_FALSE(MotorData.MotorIdentified);
    AcknowledgeError();

    ChooseRow(2);
    EXPECT_EQ(MotorData.ErrorNumber, ErrValueVanishes);
    EXPECT_EQ(ErrorText(), "The value of \"Power Factor\" is so small that a derived value vanishes!");
    EXPECT_FALSE(MotorData.MotorIdentified);
    AcknowledgeError();

    ChooseRow(4);
    EXPECT_EQ(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_TRUE(MotorData.MotorIdentified);
}

TEST_F(RefusalTest, ListedElementNamesInFrench) {
    WriteList({Record(1, {{16, "-1440"}})});
    ChooseLanguage(true);
    ChooseRow(1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrNegativeElement);
    EXPECT_EQ(ErrorText(), QString::fromUtf8("Rfer ne doit pas être négative\u00A0!"));
}

TEST_F(RefusalTest, SoftStarterSettingsOutsideTheirRangeAreRefusedBeforeAnyResult) {
    // An estimated time whose time step vanishes, then a negative preset: each is refused by
    // the time the load is confirmed, and nothing is computed with it.
    struct Case {
        const char* estimated;
        const char* preset;
        int error;
        const char* message;
    };
    const Case cases[] = {
        {"5e-324", "10", ErrValueVanishes,
         "The value of \"Estimated Time to Start Motor with Load\" is so small that a derived value "
         "vanishes!"},
        {"10", "-10", ErrPresetRange, "Preset must lie between 0 and 100\u00A0%!"},
        {"10", "100.5", ErrPresetRange, "Preset must lie between 0 and 100\u00A0%!"},
    };
    for (const Case& c : cases) {
        RestartForms();
        Form1->show();
        Form1->activateWindow();
        Pump();
        ChooseLanguage(false);
        EnterMotor();
        Click(Form1->Button2);
        SetTimeMode("5", c.preset, c.estimated);
        if (!ErrorShown()) {
            Click(Form1->Button3);
            SetLoad(LoadKind::None);
        }
        EXPECT_EQ(MotorData.ErrorNumber, c.error) << c.message;
        EXPECT_EQ(ErrorText(), c.message);
        EXPECT_FALSE(MotorData.ResultsMode);
        EXPECT_FALSE(Form1->Panel1->isVisible());
    }
}
