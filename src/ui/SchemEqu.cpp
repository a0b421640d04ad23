#include "SchemEqu.h"

#include "Aff_Err.h"
#include "Checks.h"
#include "ErrorMessages.h"
#include "Forms.h"
#include "Identification.h"
#include "Pictures.h"
#include "TextToReal.h"
#include "UiCommon.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <cmath>

namespace {
// Clear pixels between "R'r" and the fraction bar of the load resistor's label.
constexpr int FractionGap = 3;
// How far the first cage and what lies right of it stand from their designed places, and where
// the second cage's branch runs (panel coordinates).
constexpr int CageShift = 130;
constexpr int SecondCageX = 610;
// The grey of a part the motor does not have.
const QColor MutedInk(176, 176, 176);
} // namespace

TShape::TShape(Kind kind, QWidget* parent, const char* name, int x, int y, int w, int h)
    : QWidget(parent), kind_(kind)
{
    setObjectName(QString::fromLatin1(name));
    setGeometry(x, y, w, h);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TShape::SetMuted(bool muted)
{
    if (muted == muted_)
        return;
    muted_ = muted;
    update();
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRectF inner(1, 1, width() - 2, height() - 2); // a 2-pixel pen centred on it stays inside
    const QColor ink = muted_ ? MutedInk : QColor(Qt::black);
    switch (kind_) {
    case Line:
    case Reactance:
        p.fillRect(rect(), ink);
        break;
    case Resistor:
        p.setPen(QPen(ink, 2));
        p.setBrush(Qt::white);
        p.drawRect(inner);
        break;
    case Circle:
        // No fill: the conductor behind it stays visible, as on the original drawing.
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(inner);
        break;
    }
}

TPaintBox::TPaintBox(QWidget* parent, const char* name, int x, int y, int w, int h) : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
    setGeometry(x, y, w, h);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TPaintBox::paintEvent(QPaintEvent*)
{
    if (!OnPaint)
        return;
    QPainter p(this);
    OnPaint(p);
}

TForm3::TForm3()
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Equivalent Diagram"));
    // The designed window, widened for the second cage's branch: the first cage and everything to
    // its right moved by CageShift.
    SetClientSize(772 + CageShift, 412);
    const QFont f = SansFont(11);
    setFont(f);
    constexpr int D = CageShift;

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(6, 16, 760 + D, 345);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    QWidget* P = Panel1;

    // Conductors first, the elements over them, so that each element hides the line it sits on.
    Shape1 = new TShape(TShape::Line, P, "Shape1", 120, 120, 593 + D, 2);
    Shape2 = new TShape(TShape::Line, P, "Shape2", 120, 320, 593 + D, 2);
    Shape16 = new TShape(TShape::Line, P, "Shape16", 120, 120, 2, 201);
    Shape15 = new TShape(TShape::Line, P, "Shape15", 712 + D, 120, 2, 201);
    Shape5 = new TShape(TShape::Line, P, "Shape5", 472, 120, 2, 49);
    Shape4 = new TShape(TShape::Line, P, "Shape4", 448, 168, 49, 2);
    Shape6 = new TShape(TShape::Line, P, "Shape6", 448, 168, 2, 105);
    Shape3 = new TShape(TShape::Line, P, "Shape3", 496, 168, 2, 105);
    Shape8 = new TShape(TShape::Line, P, "Shape8", 448, 272, 49, 2);
    Shape7 = new TShape(TShape::Line, P, "Shape7", 472, 272, 2, 49);
    // The second cage: a branch from the upper to the lower conductor between the magnetising
    // branch and the first cage, so that it lies in parallel with the first cage alone.
    SecondCageLine = new TShape(TShape::Line, P, "SecondCageLine", SecondCageX, 120, 2, 201);
    Shape17 = new TShape(TShape::Circle, P, "Shape17", 96, 195, 50, 50);
    Shape9 = new TShape(TShape::Resistor, P, "Shape9", 256, 109, 60, 25);
    Shape11 = new TShape(TShape::Reactance, P, "Shape11", 360, 109, 60, 25);
    Shape12 = new TShape(TShape::Reactance, P, "Shape12", 520 + D, 109, 60, 25);
    Shape10 = new TShape(TShape::Resistor, P, "Shape10", 616 + D, 109, 60, 25);
    Shape13 = new TShape(TShape::Reactance, P, "Shape13", 437, 190, 25, 60);
    Shape14 = new TShape(TShape::Resistor, P, "Shape14", 485, 189, 25, 60);
    Shape18 = new TShape(TShape::Resistor, P, "Shape18", 701 + D, 190, 25, 60);
    Shape19 = new TShape(TShape::Line, P, "Shape19", 655 + D, 220, 16, 1);
    SecondCageReactance = new TShape(TShape::Reactance, P, "SecondCageReactance", SecondCageX - 11, 138, 25, 60);
    SecondCageResistor = new TShape(TShape::Resistor, P, "SecondCageResistor", SecondCageX - 11, 234, 25, 60);

    PaintBox1 = new TPaintBox(P, "PaintBox1", 683 + D, 185, 60, 70);
    PaintBox1->OnPaint = [this](QPainter& canvas) { PaintBox1Paint(canvas); };
    PaintBox2 = new TPaintBox(P, "PaintBox2", 168, 115, 20, 12);
    PaintBox2->OnPaint = [this](QPainter& canvas) { PaintBox2Paint(canvas); };
    // R'r2 / s varies with the slip: the same arrow across it.
    SecondCageArrow = new TPaintBox(P, "SecondCageArrow", SecondCageX - 21, 232, 44, 64);
    SecondCageArrow->OnPaint = [this](QPainter& canvas) {
        SlipArrow(canvas, SecondCageArrow->size(), SecondCageLine->Muted() ? MutedInk : QColor(Qt::black));
    };

    Label18 = MakeLabel(P, "Label18", QStringLiteral("Equivalent Diagram"), 299 + D / 2, 16, SansFont(16, true));
    Image1 = new TPicture(TPicture::Logo, P, "Image1", 683 + D, 8, 74, 49);

    Label1 = MakeLabel(P, "Label1", QStringLiteral("Rs"), 278, 64, f);
    Label2 = MakeLabel(P, "Label2", QStringLiteral("Xssigma"), 369, 64, f);
    Label3 = MakeLabel(P, "Label3", QStringLiteral("X'rsigma"), 530 + D, 64, f);
    Label4 = MakeLabel(P, "Label4", QStringLiteral("R'r"), 639 + D, 64, f);
    Label5 = MakeLabel(P, "Label5", QStringLiteral("Xh"), 390, 192, f);
    Label6 = MakeLabel(P, "Label6", QStringLiteral("Riron"), 530, 192, f);
    Label19 = MakeLabel(P, "Label19", QStringLiteral("1-s"), 656 + D, 204, f);
    Label20 = MakeLabel(P, "Label20", QStringLiteral("s"), 661 + D, 222, f);
    // "R'r" ends a few pixels before the fraction bar, at the height of its designed place.
    Label17 = MakeLabel(P, "Label17", QStringLiteral("R'r"), 642 + D, 214, f);
    Label17->move(Shape19->x() - FractionGap - Label17->width(), Label17->y());
    Xr2sigmaLabel = MakeLabel(P, "Xr2sigmaLabel", QStringLiteral("X'r2sigma"), SecondCageX + 30, 142, f);
    Rr2Label = MakeLabel(P, "Rr2Label", QStringLiteral("R'r2"), SecondCageX + 30, 238, f);
    // The element's name on its other side, where the first cage's reads R'r (1-s)/s.
    Rr2LoadLabel = MakeLabel(P, "Rr2LoadLabel", QStringLiteral("R'r2/s"), 0, 256, f);
    Rr2LoadLabel->move(SecondCageResistor->x() - 5 - Rr2LoadLabel->width(), Rr2LoadLabel->y());

    // The ohm sign beside each element's field.
    const QString ohm = QString(QChar(0x03A9));
    Label7 = MakeLabel(P, "Label7", ohm, 312, 84, f);
    Label8 = MakeLabel(P, "Label8", ohm, 416, 84, f);
    Label9 = MakeLabel(P, "Label9", ohm, 576 + D, 84, f);
    Label10 = MakeLabel(P, "Label10", ohm, 672 + D, 84, f);
    // Riron's field and sign take some of the room the second cage made: a fitted Riron may have seven digits.
    Label11 = MakeLabel(P, "Label11", ohm, 576, 212, f);
    Label12 = MakeLabel(P, "Label12", ohm, 424, 212, f);
    Xr2sigmaOhm = MakeLabel(P, "Xr2sigmaOhm", ohm, SecondCageX + 74, 162, f);
    Rr2Ohm = MakeLabel(P, "Rr2Ohm", ohm, SecondCageX + 74, 258, f);

    Label13 = MakeLabel(P, "Label13", QStringLiteral("Phase Voltage"), 10, 168, f);
    Label14 = MakeLabel(P, "Label14", QStringLiteral("Frequency"), 19, 216, f);
    Label22 = MakeLabel(P, "Label22", QStringLiteral("Phase Current"), 150, 64, f);
    Label15 = MakeLabel(P, "Label15", QStringLiteral("V"), 68, 188, f);
    Label16 = MakeLabel(P, "Label16", QStringLiteral("Hz"), 68, 236, f);
    Label25 = MakeLabel(P, "Label25", QStringLiteral("A"), 205, 88, f);

    Edit1 = MakeEdit(P, "Edit1", 264, 80, 40, f);
    Edit2 = MakeEdit(P, "Edit2", 624 + D, 80, 40, f);
    Edit3 = MakeEdit(P, "Edit3", 368, 80, 40, f);
    Edit4 = MakeEdit(P, "Edit4", 528 + D, 80, 40, f);
    Edit5 = MakeEdit(P, "Edit5", 376, 208, 40, f);
    Edit6 = MakeEdit(P, "Edit6", 520, 208, 52, f);
    Edit7 = MakeEdit(P, "Edit7", 24, 184, 40, f);
    Edit8 = MakeEdit(P, "Edit8", 24, 232, 40, f);
    Edit12 = MakeEdit(P, "Edit12", 160, 84, 41, f);
    Xr2sigmaEdit = MakeEdit(P, "Xr2sigmaEdit", SecondCageX + 30, 158, 40, f);
    Rr2Edit = MakeEdit(P, "Rr2Edit", SecondCageX + 30, 254, 40, f);
    // Shown for reference only: OK never reads them back.
    for (QLineEdit* e : {Edit7, Edit8, Edit12})
        e->setEnabled(false);
    QLineEdit* const order[] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Xr2sigmaEdit, Rr2Edit, Edit7, Edit8, Edit12};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    Button1 = MakeButton(this, "Button1", QStringLiteral("OK"), 303 + D / 2, 376, 75, 25, f);
    Cancel = MakeButton(this, "Cancel", QStringLiteral("Cancel"), 407 + D / 2, 376, 75, 25, f);
    setTabOrder(Edit12, Button1);
    setTabOrder(Button1, Cancel);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Cancel, &QPushButton::clicked, this, &TForm3::CancelClick);
    for (QLineEdit* e : {Xr2sigmaEdit, Rr2Edit})
        connect(e, &QLineEdit::textChanged, this, &TForm3::ShowSecondCage);
    ShowSecondCage();
}

void TForm3::ShowSecondCage()
{
    const bool present = !Rr2Edit->text().trimmed().isEmpty() || !Xr2sigmaEdit->text().trimmed().isEmpty();
    for (TShape* shape : {SecondCageLine, SecondCageReactance, SecondCageResistor})
        shape->SetMuted(!present);
    SecondCageArrow->update();
}

void TForm3::SetDiagramTexts()
{
    if (EnglishChosen()) {
        setWindowTitle(QStringLiteral("Equivalent Diagram"));
        SetCaption(Label18, QStringLiteral("Equivalent Diagram"));
        SetCaption(Label13, QStringLiteral("Phase Voltage"));
        SetCaption(Label14, QStringLiteral("Frequency"));
        SetCaption(Label22, QStringLiteral("Phase Current"));
        SetCaption(Label6, QStringLiteral("Riron"));
        Cancel->setText(QStringLiteral("Cancel"));
    } else if (FrenchChosen()) {
        setWindowTitle(QStringLiteral("Paramètres du schéma équivalent"));
        SetCaption(Label18, QStringLiteral("Paramètres du schéma équivalent"));
        SetCaption(Label13, QStringLiteral("Tension de phase"));
        SetCaption(Label14, QStringLiteral("Frequence"));
        SetCaption(Label22, QStringLiteral("Courant de phase"));
        SetCaption(Label6, QStringLiteral("Rfer"));
        Cancel->setText(QStringLiteral("Annuler"));
    }
}

void TForm3::FormActivate()
{
    SetDiagramTexts();
}

void TForm3::FormShow()
{
    const auto show = [](QLineEdit* edit, double value, int decimals) {
        // A value the fixed-point form cannot show is left out rather than shown as NAN or INF.
        edit->setText(std::isfinite(value) ? FixedTextOrEmpty(value, decimals) : QString());
    };
    const MotorDataSet& d = MotorData;
    show(Edit1, d.Rs, 2);
    show(Edit2, d.Rr, 2);
    show(Edit3, d.Xssigma, 2);
    show(Edit4, d.Xrsigma, 2);
    show(Edit5, d.Xh, 0);
    show(Edit6, d.Riron, 0);
    show(Xr2sigmaEdit, d.Xr2sigma, 2);
    show(Rr2Edit, d.Rr2, 2);
    show(Edit7, d.PhaseVoltage, 0);
    show(Edit8, d.Frequency, 0);
    show(Edit12, d.PhaseCurrent, 1);
    MotorData.DataChanged = false;
    Edit1->setFocus();
}

void TForm3::Button1Click()
{
    // Every field is converted and the circuit judged before anything is stored, so a refusal
    // leaves the data set as it was and the dialog open for the correction.
    QLineEdit* const fields[] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6};
    double values[6] = {};
    for (int i = 0; i < 6; ++i) {
        const std::string text = fields[i]->text().trimmed().toStdString();
        bool ok = !text.empty();
        if (ok) {
            try {
                values[i] = TextToReal(text);
            } catch (const EConvertError&) {
                ok = false;
            }
        }
        if (!ok) {
            fields[i]->setFocus();
            fields[i]->selectAll();
            RaiseError(ErrRsField + i);
            return;
        }
    }
    // The second cage: both fields empty, one cage; otherwise both must hold numbers, each named
    // as the command line's --circuit names it.
    double second[2] = {}; // R'r2, X'r2sigma
    QLineEdit* const cage[] = {Rr2Edit, Xr2sigmaEdit};
    const char* const cageNames[] = {"R'r2", "X'r2sigma"};
    if (!Rr2Edit->text().trimmed().isEmpty() || !Xr2sigmaEdit->text().trimmed().isEmpty()) {
        for (int i = 0; i < 2; ++i) {
            try {
                second[i] = TextToReal(cage[i]->text().trimmed().toStdString()); // refuses an empty text too
            } catch (const EConvertError&) {
                cage[i]->setFocus();
                cage[i]->selectAll();
                RaiseError(ErrDatasheetNotANumber, {cageNames[i], cageNames[i]});
                return;
            }
        }
    }
    MotorDataSet circuit;
    circuit.Rs = values[0];
    circuit.Rr = values[1];
    circuit.Xssigma = values[2];
    circuit.Xrsigma = values[3];
    circuit.Xh = values[4];
    circuit.Riron = values[5];
    circuit.Rr2 = second[0];
    circuit.Xr2sigma = second[1];
    Refusal refusal = CheckCircuit(circuit);
    // The derived values are computed again from the rated values, which must allow it.
    if (!refusal && MotorData.MechanicalPower == 0 && MotorData.LineVoltage == 0 && MotorData.LineCurrent == 0 &&
        MotorData.RatedSpeed == 0)
        refusal = ErrNoMotor;
    if (!refusal)
        refusal = CheckRatedValues(MotorData);
    if (refusal) {
        RaiseError(refusal);
        return;
    }
    MotorData.Rs = values[0];
    MotorData.Rr = values[1];
    MotorData.Xssigma = values[2];
    MotorData.Xrsigma = values[3];
    MotorData.Xh = values[4];
    MotorData.Riron = values[5];
    MotorData.Rr2 = second[0];
    MotorData.Xr2sigma = second[1];
    // A circuit typed here is the motor's own: a data sheet it was fitted to no longer describes it.
    MotorData.LockedRotorCurrentRatio = MotorData.LockedRotorTorqueRatio = MotorData.BreakdownTorqueRatio = 0;
    MotorData.Priority = FitPriority::Torque;
    MotorData.Fit = {};
    DeriveRatedValues(MotorData);
    // The next computation uses this circuit as typed instead of identifying one.
    MotorData.MotorFromList = true;
    MotorData.DataChanged = true;
    ChoicesData.Source = MotorSource::Diagram;
    CloseForm();
}

void TForm3::CancelClick()
{
    CloseForm();
}

void TForm3::PaintBox1Paint(QPainter& canvas)
{
    SlipArrow(canvas, PaintBox1->size(), Qt::black);
}

void TForm3::SlipArrow(QPainter& canvas, QSize box, const QColor& colour)
{
    // A diagonal arrow through a resistor that varies with the slip, corner to corner of its box.
    canvas.setRenderHint(QPainter::Antialiasing);
    canvas.setPen(QPen(colour, 1));
    canvas.setBrush(colour);
    const int w = box.width(), h = box.height();
    canvas.drawLine(0, h, w, 0);
    const QPoint head[] = {{w - 10, 5}, {w, 0}, {w - 5, 10}};
    canvas.drawPolygon(head, 3);
}

void TForm3::PaintBox2Paint(QPainter& canvas)
{
    // The direction of the phase current.
    canvas.setRenderHint(QPainter::Antialiasing);
    canvas.setPen(QPen(Qt::black, 1));
    canvas.setBrush(Qt::black);
    const QPoint head[] = {{0, 0}, {20, 6}, {0, 12}};
    canvas.drawPolygon(head, 3);
}
