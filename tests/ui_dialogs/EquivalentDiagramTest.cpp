// The equivalent diagram dialog: its fields, OK and Cancel, the refusals, the drawing, and the
// computation that follows with the typed circuit.

#include "DialogFixture.h"

#include "MainCharts.h"
#include "OperatingPoint.h"

#include <QImage>

class DiagramTest : public DialogTest {
protected:
    // Parameters > Change Equivalent Diagram.
    static void OpenDiagram() { Trigger(Form1->EquivalentDiagram); }

    // A confirmed listed motor whose circuit the test sets, then the dialog opened on it.
    void OpenOn(double rs, double rr, double xs, double xr, double xh, double riron, bool french = false)
    {
        WriteList({Title(), Record(1, "Maker A", "132 M", 5500, "Delta")});
        ChooseLanguage(french);
        ChooseListedMotor(1);
        ASSERT_TRUE(MotorData.MotorIdentified);
        MotorData.Rs = rs;
        MotorData.Rr = rr;
        MotorData.Xssigma = xs;
        MotorData.Xrsigma = xr;
        MotorData.Xh = xh;
        MotorData.Riron = riron;
        OpenDiagram();
        ASSERT_TRUE(Form3->isVisible());
    }

    static void Type(const QString& rs, const QString& rr, const QString& xs, const QString& xr, const QString& xh,
                     const QString& riron)
    {
        Form3->Edit1->setText(rs);
        Form3->Edit2->setText(rr);
        Form3->Edit3->setText(xs);
        Form3->Edit4->setText(xr);
        Form3->Edit5->setText(xh);
        Form3->Edit6->setText(riron);
    }

    static std::array<double, 6> Circuit()
    {
        return {MotorData.Rs, MotorData.Rr, MotorData.Xssigma, MotorData.Xrsigma, MotorData.Xh, MotorData.Riron};
    }
};

TEST_F(DiagramTest, FieldsShowTheCircuitRoundedAndOkStoresWhatTheyShow)
{
    OpenOn(0.864, 0.6149, 1.356, 1.3651, 61.4, 1440.6);
    EXPECT_EQ(Form3->Edit1->text(), Dec("0.86"));
    EXPECT_EQ(Form3->Edit2->text(), Dec("0.61"));
    EXPECT_EQ(Form3->Edit3->text(), Dec("1.36"));
    EXPECT_EQ(Form3->Edit4->text(), Dec("1.37"));
    EXPECT_EQ(Form3->Edit5->text(), "61");
    EXPECT_EQ(Form3->Edit6->text(), "1441");
    EXPECT_EQ(Form3->Edit7->text(), "400");
    EXPECT_EQ(Form3->Edit8->text(), "50");
    EXPECT_EQ(Form3->Edit12->text(), Dec("6.5"));
    EXPECT_FALSE(MotorData.DataChanged);

    Click(Form3->Button1);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_FALSE(ErrorShown());
    EXPECT_DOUBLE_EQ(MotorData.Rs, 0.86);
    EXPECT_DOUBLE_EQ(MotorData.Rr, 0.61);
    EXPECT_DOUBLE_EQ(MotorData.Xssigma, 1.36);
    EXPECT_DOUBLE_EQ(MotorData.Xrsigma, 1.37);
    EXPECT_DOUBLE_EQ(MotorData.Xh, 61);
    EXPECT_DOUBLE_EQ(MotorData.Riron, 1441);
    EXPECT_TRUE(MotorData.DataChanged);
    EXPECT_TRUE(MotorData.MotorFromList);
    EXPECT_EQ(MotorData.StartStep, 1);
}

TEST_F(DiagramTest, ReferenceFieldsAreDisabledAndNotReadBack)
{
    OpenOn(0.86, 0.61, 1.36, 1.36, 61, 1440);
    for (QLineEdit* e : {Form3->Edit7, Form3->Edit8, Form3->Edit12})
        EXPECT_FALSE(e->isEnabled()) << e->objectName().toStdString();
    for (QLineEdit* e : {Form3->Edit1, Form3->Edit2, Form3->Edit3, Form3->Edit4, Form3->Edit5, Form3->Edit6})
        EXPECT_TRUE(e->isEnabled()) << e->objectName().toStdString();
    Form3->Edit7->setText("999");
    Form3->Edit8->setText("abc");
    Click(Form3->Button1);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_DOUBLE_EQ(MotorData.PhaseVoltage, 400);
    EXPECT_DOUBLE_EQ(MotorData.Frequency, 50);
}

TEST_F(DiagramTest, ZeroIsShownAsAnEmptyField)
{
    OpenOn(0, 0.61, 1.36, 1.36, 61, 0);
    EXPECT_EQ(Form3->Edit1->text(), "");
    EXPECT_EQ(Form3->Edit6->text(), "");
    EXPECT_EQ(Form3->Edit5->text(), "61");
}

TEST_F(DiagramTest, CancelAfterEditingKeepsTheCircuit)
{
    OpenOn(0.86, 0.61, 1.36, 1.36, 61, 1440);
    const auto before = Circuit();
    Type("9", "9", "9", "9", "9", "9");
    Click(Form3->Cancel);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(Circuit(), before);
    EXPECT_FALSE(MotorData.DataChanged);
    // Typed text that was not stored is gone at the next opening.
    OpenDiagram();
    EXPECT_EQ(Form3->Edit1->text(), Dec("0.86"));
}

TEST_F(DiagramTest, AnEmptyOrNonNumericFieldIsRefusedNamingTheField)
{
    OpenOn(0.86, 0.61, 1.36, 1.36, 61, 1440);
    const auto before = Circuit();
    QLineEdit* const fields[] = {Form3->Edit1, Form3->Edit2, Form3->Edit3, Form3->Edit4, Form3->Edit5, Form3->Edit6};
    const char* const english[] = {"Rs is not declared or is not a number!",
                                   "R'r is not declared or is not a number!",
                                   "Xssigma is not declared or is not a number!",
                                   "X'rsigma is not declared or is not a number!",
                                   "Xh is not declared or is not a number!",
                                   "Riron is not declared or is not a number!"};
    for (int i = 0; i < 6; ++i) {
        for (const QString& bad : {QString(), QStringLiteral("  "), QStringLiteral("1.2.3x")}) {
            Type("1", "2", "3", "4", "5", "6");
            fields[i]->setText(bad);
            Click(Form3->Button1);
            EXPECT_TRUE(Form3->isVisible());
            EXPECT_EQ(MotorData.ErrorNumber, ErrRsField + i);
            EXPECT_EQ(ErrorText(), english[i]);
            EXPECT_EQ(Circuit(), before);
            EXPECT_FALSE(MotorData.DataChanged);
            AcknowledgeError();
        }
    }
}

TEST_F(DiagramTest, RefusalsAreInFrenchToo)
{
    OpenOn(0.86, 0.61, 1.36, 1.36, 61, 1440, true);
    Form3->Edit6->setText("abc");
    Click(Form3->Button1);
    EXPECT_EQ(ErrorText(), QString::fromUtf8("Rfer n'est pas déclarée ou n'est pas un nombre\u00A0!"));
    EXPECT_TRUE(Form3->isVisible());
}

TEST_F(DiagramTest, ACircuitThatWouldDivideByZeroIsRefused)
{
    OpenOn(0.86, 0.61, 1.36, 1.36, 61, 1440);
    const auto before = Circuit();
    Type("0.86", "0", "1.36", "1.36", "61", "1440");
    Click(Form3->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrRotorResistanceZero);
    EXPECT_EQ(ErrorText(), "R'r must not be 0!");
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_EQ(Circuit(), before);
    AcknowledgeError();

    // No iron resistance and no magnetising reactance: the shunt branch has no impedance.
    Type("0.86", "0.61", "1.36", "1.36", "0", "0");
    Click(Form3->Button1);
    EXPECT_EQ(MotorData.ErrorNumber, ErrCircuitNotFinite);
    EXPECT_TRUE(Form3->isVisible());
    EXPECT_EQ(Circuit(), before);
    EXPECT_FALSE(MotorData.DataChanged);
}

TEST_F(DiagramTest, EnglishAndFrenchTexts)
{
    OpenOn(0.86, 0.61, 1.36, 1.36, 61, 1440, true);
    EXPECT_EQ(Form3->windowTitle(), QString::fromUtf8("Paramètres du schéma équivalent"));
    EXPECT_EQ(Form3->Label18->text(), QString::fromUtf8("Paramètres du schéma équivalent"));
    EXPECT_EQ(Form3->Label13->text(), "Tension de phase");
    EXPECT_EQ(Form3->Label14->text(), "Frequence");
    EXPECT_EQ(Form3->Label22->text(), "Courant de phase");
    EXPECT_EQ(Form3->Label6->text(), "Rfer");
    EXPECT_EQ(Form3->Cancel->text(), "Annuler");
    EXPECT_EQ(Form3->Button1->text(), "OK");
    EXPECT_EQ(Form3->Label17->text(), "R'r");
    EXPECT_EQ(Form3->Label7->text(), QString::fromUtf8("Ω"));
}

TEST_F(DiagramTest, TheCircuitIsDrawn)
{
    OpenOn(0.86, 0.61, 1.36, 1.36, 61, 1440);
    QImage panel = Form3->Panel1->grab().toImage();
    // Edges are smoothed: a figure is there when some pixel next to the point is dark.
    const auto dark = [&](int x, int y) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (qGray(panel.pixel(x + dx, y + dy)) < 96)
                    return true;
        return false;
    };
    const auto light = [&](int x, int y) { return qGray(panel.pixel(x, y)) > 192; };
    EXPECT_TRUE(dark(200, 120));   // upper conductor
    EXPECT_TRUE(dark(600, 321));   // lower conductor
    EXPECT_TRUE(dark(121, 300));   // left side
    EXPECT_TRUE(dark(713 + 130, 150)); // right side, beyond the second cage's branch
    EXPECT_TRUE(light(286, 121));  // Rs: a white resistor on the conductor
    EXPECT_TRUE(dark(286, 110));   // ... with its outline
    EXPECT_TRUE(dark(390, 121));   // Xssigma: a black reactance
    EXPECT_TRUE(dark(449, 220));   // Xh on the left leg
    EXPECT_TRUE(light(497, 220));  // Riron on the right leg
    EXPECT_TRUE(dark(97, 220));    // the source's circle
    EXPECT_TRUE(light(106, 205));  // ... open inside
    EXPECT_TRUE(dark(170, 121));   // the current's arrowhead
    EXPECT_TRUE(dark(683 + 130 + 30, 185 + 35)); // the slip arrow across the load resistor
    // The second cage's branch: grey while its fields are empty, black once one is typed.
    for (QPoint p : {QPoint(611, 310), QPoint(611, 168)})
        EXPECT_NEAR(qGray(panel.pixel(p)), 176, 10);
    Form3->Rr2Edit->setText("3");
    panel = Form3->Panel1->grab().toImage();
    for (QPoint p : {QPoint(611, 310), QPoint(611, 168), QPoint(611, 264)}) // wire, X'r2sigma, slip arrow
        EXPECT_TRUE(dark(p.x(), p.y())) << p.y();
    EXPECT_TRUE(light(604, 240)); // R'r2 / s, a white resistor
}

TEST_F(DiagramTest, ResultsAreComputedAgainWithTheTypedCircuit)
{
    ListedMotorResults();
    const double before = SeriesPoints(Form1->xyGraph3, 1).front().second;

    OpenDiagram();
    Form3->Edit2->setText(Dec("1.22"));
    Click(Form3->Button1);
    EXPECT_FALSE(Form3->isVisible());
    // The main window computed again with the typed R'r, not with an identified one.
    EXPECT_FALSE(MotorData.DataChanged);
    EXPECT_DOUBLE_EQ(MotorData.Rr, 1.22);
    const double after = SeriesPoints(Form1->xyGraph3, 1).front().second;
    const double expected = StatorCurrent(MotorData, 1.0, MotorData.PhaseVoltage) / MotorData.PhaseCurrent;
    EXPECT_NEAR(after, expected, 1e-9 * expected);
    EXPECT_NE(after, before);
}

TEST_F(DiagramTest, TheMenuRefusesTheDialogBeforeAnyMotor)
{
    ChooseLanguage(false);
    OpenDiagram();
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(MotorData.ErrorNumber, 100);
}
